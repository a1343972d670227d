// The data part: section switches, load addresses, load records, gaps with
// and without fill, and relocated data items.  Records per statement,
// repeats and fill gaps of a whole run are checked by the end-to-end cases
// data_db_values and data_fill_and_gaps.
#include <gtest/gtest.h>

#include <vector>

#include "expr/expression.h"
#include "object/object_writer.h"
#include "object_test_support.h"

namespace koral {
namespace {

using namespace object_test;

// The bytes between W5 and W6 of the finished module.
Bytes data_part(ObjectRun& r) {
  const Bytes module = r.finish();
  const uint32_t table = r.a.object.part_table_offset;
  return slice(module, part_offset(module, table, part_data), part_offset(module, table, part_trailer));
}

TEST(ObjectData, ThreeHundredBytesGiveRecordsOf127_127_46) {
  ObjectRun r;
  Section& code = r.section("c", section_code, 16, 300);
  object_begin(r.a);
  r.enter(code);
  std::vector<uint8_t> bytes(300);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i);
  object_load_bytes(r.a, bytes.data(), 300);
  Bytes expected = hex("E5 01 E2 D0 01 D2 01 E4 7F") + Bytes(bytes.begin(), bytes.begin() + 127) +
                   hex("E4 7F") + Bytes(bytes.begin() + 127, bytes.begin() + 254) + hex("E4 2E") +
                   Bytes(bytes.begin() + 254, bytes.end());
  EXPECT_EQ(show(data_part(r)), show(expected));
}

TEST(ObjectData, AbsoluteSectionLoadsWithLdAndAddresses) {
  ObjectRun r;
  Section& rom = r.section("a", section_absolute | section_code, 0, 0x20, 0x1000);
  r.a.settings.fill_selection = fill_code;
  object_begin(r.a);
  r.enter(rom);
  const uint8_t bytes[] = {0xAA, 0xBB};
  object_load_bytes(r.a, bytes, 2);
  rom.location = 0x1002;
  object_skip(r.a, 11, true);
  object_set_location(r.a, 0x1080);
  EXPECT_EQ(show(data_part(r)), show(hex("E5 01 E2 D0 01 82 10 00 ED 02 AA BB"
                                         "F7 0B ED 01 00 E2 D0 01 82 10 0D"
                                         "E2 D0 01 82 10 80")));
}

// Which byte fills which kind of section.
TEST(ObjectData, FillSettingsChooseTheByte) {
  struct Case {
    int32_t kind;
    uint32_t selection;
    bool all_value_set;
    uint8_t all_value;
    const char* fill;  // "" when the gap is not filled
  };
  const Case cases[] = {
      {section_data, fill_data, false, 0, "E4 02 FF FF"},
      {section_romdata, fill_rodata, false, 0, "E4 02 FF FF"},
      {section_code, fill_code, false, 0, "E4 02 00 00"},
      {section_data, fill_code, false, 0, ""},
      {section_code, fill_data | fill_rodata, false, 0, ""},
      {section_data, fill_all, true, 0x55, "E4 02 55 55"},
      {section_code, fill_all, true, 0x55, "E4 02 55 55"},
      {section_romdata, fill_all, false, 0, "E4 02 FF FF"},
      {section_code, fill_all, false, 0, "E4 02 00 00"},
  };
  for (const Case& c : cases) {
    ObjectRun r;
    Section& s = r.section("s", c.kind, 16, 8);
    r.a.settings.fill_selection = c.selection;
    r.a.settings.fill_all_value_set = c.all_value_set;
    r.a.settings.fill_all_value = c.all_value;
    object_begin(r.a);
    r.enter(s);
    s.location = 4;
    const uint8_t one = 0x11;
    object_load_bytes(r.a, &one, 1);
    s.location = 5;
    object_skip(r.a, 2, true);
    EXPECT_EQ(show(data_part(r)),
              show(hex("E5 01 E2 D0 01 D2 01 04 A5 E4 01 11") + hex(c.fill) +
                   hex("E2 D0 01 D2 01 07 A5")))
        << c.kind << " " << c.selection;
  }
}

// A skip right after a section switch: the fill records come first, then the
// pending load address, then the address after the gap.
TEST(ObjectData, PendingLoadAddressFollowsTheFillRecords) {
  ObjectRun r;
  Section& code = r.section("c", section_code, 16, 3);
  r.a.settings.fill_selection = fill_code;
  object_begin(r.a);
  r.enter(code);
  object_skip(r.a, 3, true);
  EXPECT_EQ(show(data_part(r)), show(hex("E5 01 E4 03 00 00 00 E2 D0 01 D2 01 E2 D0 01 D2 01 03 A5")));
}

// A section left before anything was loaded gets its load address at the
// switch; the last one at the finish.
TEST(ObjectData, PendingLoadAddressAtSwitchAndFinish) {
  ObjectRun r;
  Section& first = r.section("a", section_code, 16, 7);
  Section& second = r.section("b", section_data, 16, 0);
  object_begin(r.a);
  r.enter(first);
  first.location = 7;
  r.enter(second);
  EXPECT_EQ(show(data_part(r)), show(hex("E5 01 E2 D0 01 D2 01 07 A5 E5 02 E2 D0 02 D2 02")));
}

// A data word holding "$" in relocatable section 2: the load address of the
// item, with no field offset.
TEST(ObjectData, RelocatedDataItem) {
  ObjectRun r;
  r.section("a", section_code, 16, 0);
  Section& second = r.section("b", section_data, 16, 2);
  Symbol& here = r.symbol("$", kind_location);
  object_begin(r.a);
  r.enter(second);
  ArenaRef tree = make_name_leaf(r.a, name_symbol, handle_of(&here), 0);
  object_load_relocated(r.a, tree, 2);
  EXPECT_EQ(show(data_part(r)), show(hex("E5 02 E2 D0 02 D2 02 E4 BC D0 02 02 BD")));
}

}  // namespace
}  // namespace koral
