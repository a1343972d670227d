#include "directives/sections.h"

#include "diag/diagnostics.h"
#include "directives/directives.h"
#include "driver/assembly.h"
#include "expr/evaluate.h"
#include "object/object_writer.h"
#include "source/lexer.h"
#include "source/payload.h"
#include "symbols/hash.h"
#include "symbols/numbering.h"
#include "symbols/symbol_table.h"

namespace koral {

namespace {

constexpr int32_t size_small = 8;
constexpr int32_t size_medium = 16;
constexpr int32_t size_large = 24;

bool absolute_value(const Value& v) { return (v.kind & absolute_kinds) != 0; }

// An ALIGN value of SECTION: absolute, else error 222 and 1; absent: 1.
uint32_t section_align_value(Assembly& a, ArenaRef tree) {
  if (!tree) return 1;
  Value v = evaluate(a, tree);
  if (!absolute_value(v)) {
    report_error(a, 222);
    return 1;
  }
  return static_cast<uint32_t>(v.value);
}

// Size attribute of a new relocatable section, or -1 (error 212).
int32_t settled_size(int32_t type_code, int32_t given, int32_t level) {
  bool wide = level >= 2;
  if (type_code == section_data) return given ? given : size_medium;
  if (!given) return (type_code == section_code && wide) ? size_large : size_medium;
  if (given == size_small) return -1;
  if (given == size_large) return wide ? size_large : -1;
  return size_medium;
}

uint32_t round_up(uint32_t value, uint32_t alignment) {
  if (alignment <= 1) return value;
  uint64_t rounded = (uint64_t(value) + alignment - 1) / alignment * alignment;
  return static_cast<uint32_t>(rounded);
}

uint32_t next_power_of_two(uint32_t value) {
  uint32_t power = 1;
  while (power < value && power < 0x80000000u) power <<= 1;
  return power;
}

// ALIGN takes any multiple from 1 to 2^31, a power of two or not.
bool valid_align_operand(uint32_t n) { return n != 0 && n <= 0x80000000u; }

// The last address of an absolute section: start + size - 1, so an empty
// section ends just below its start, except at address 0, where it ends at 0.
uint32_t last_address(const Section& s) {
  uint32_t past = s.start + s.size;
  return past ? past - 1 : 0;
}

// The ABS address of a section in passes 2 and 3: not absolute gives 1,
// above the address space is masked.
uint32_t abs_address_again(Assembly& a, ArenaRef tree) {
  Value v = evaluate(a, tree);
  uint32_t address = absolute_value(v) ? static_cast<uint32_t>(v.value) : 1;
  return address > highest_address ? address & highest_address : address;
}

void reopen_section(Assembly& a, Section& section, const StatementDescriptor& d, uint32_t alignment,
                    uint32_t label_alignment) {
  bool differs = (section.kind & section_absolute) ||
                 (d.model && d.model != section.size_attribute) ||
                 (!d.model && section.size_attribute != size_medium) ||
                 alignment != section.alignment ||
                 label_alignment != section.label_alignment || d.abs_given ||
                 (section.kind & ~section_absolute) != d.type_code;
  if (differs) report_warning(a, 517);
  make_current(a, &section);
}

Section* new_section(Assembly& a, const StatementDescriptor& d, uint32_t alignment, uint32_t label_alignment) {
  int32_t kind = d.type_code;
  int32_t size_attribute = 0;
  if (d.abs_given) {
    if (d.model) report_error(a, 200);
    kind |= section_absolute;
  } else {
    size_attribute = settled_size(d.type_code, d.model, a.settings.model_level);
    if (size_attribute < 0) report_error(a, 212);
  }
  if (a.diag.error_mark) return nullptr;

  Section* section = lookup_section(a, d.name, hash_name(d.name));
  if (!section) section = insert_name(a, d.name, kind).section;
  const SourceFile& file = a.sources.files[a.sources.current];
  section->kind = kind;
  section->file_index = static_cast<int32_t>(a.sources.current);
  section->line_in_file = file.line_in_file;
  section->listing_line = file.listing_line;

  if (d.abs_given) {
    Value v = evaluate(a, d.abs_address);
    uint32_t address = 1;
    if (!absolute_value(v))
      report_error(a, 222);
    else
      address = static_cast<uint32_t>(v.value);
    if (address > highest_address) {
      report_error(a, 228);
      address &= highest_address;
    }
    section->start = address;
  } else {
    section->start = 0;
    section->size_attribute = size_attribute;
  }
  if (alignment < 1 || alignment > 0x80000000u) {
    report_warning(a, 508);
    alignment = 1;
  } else if (alignment & (alignment - 1)) {
    report_warning(a, 508);
    alignment = next_power_of_two(alignment);
  }
  if (d.abs_given) section->start = round_up(section->start, alignment);
  if (label_alignment < 1 || label_alignment > 32768) {
    report_warning(a, 508);
    label_alignment = 1;
  }
  section->alignment = alignment;
  section->label_alignment = label_alignment;
  if (!a.diag.error_mark) {
    make_current(a, section);
    if (d.abs_given) section->location = section->start;
  }
  return section;
}

void section_pass_one(Assembly& a) {
  const StatementDescriptor& d = a.statement.d;
  a.sections.section_seen = true;
  if (d.name == "$") report_error(a, 226);
  if (Symbol* symbol = lookup_symbol(a, d.name, hash_name(d.name))) {
    if (symbol->kind == kind_forward || symbol->kind == kind_public_undefined ||
        symbol->kind == kind_external) {
      delete_symbol(a, *symbol);
    } else {
      report_error(a, 203, d.name);
      symbol->status |= status_multi_defined;
    }
  }
  Section* section = nullptr;
  bool new_absolute = false;
  if (!a.diag.error_mark) {
    uint32_t alignment = section_align_value(a, d.alignment);
    uint32_t label_alignment = section_align_value(a, d.label_alignment);
    section = lookup_section(a, d.name, hash_name(d.name));
    if (section && section->kind != 0) {
      reopen_section(a, *section, d, alignment, label_alignment);
    } else {
      section = new_section(a, d, alignment, label_alignment);
      new_absolute = d.abs_given;
    }
  }
  a.sections.align_exemption = false;
  put_word(a, handle_of(section));
  put_word(a, 0);
  put_word(a, new_absolute ? d.abs_address : 0);
}

void section_later_pass(Assembly& a) {
  if (a.diag.error_mark) return;
  Section* section = section_from_handle(a, payload_word(a, 0));
  ArenaRef abs_address = payload_word(a, 2);
  if (!section) return;
  a.sections.align_exemption = false;
  if (a.run.pass == pass_two) {
    make_current(a, section);
    if (!(section->kind & section_absolute)) {
      section->start = 0;
    } else if (abs_address) {
      uint32_t address = round_up(abs_address_again(a, abs_address), section->alignment);
      section->start = section->location = address;
    }
    return;
  }
  // Final pass.
  make_current(a, section);
  if (section->kind & section_absolute) {
    uint32_t end = last_address(*section);
    for (uint32_t h = 1; h < section->handle; ++h) {
      Section* o = section_from_handle(a, h);
      if (!o || o->kind == kind_deleted || !(o->kind & section_absolute)) continue;
      uint32_t o_end = last_address(*o);
      uint32_t c_start = section->start;
      bool overlap = (o->start <= c_start && o_end >= end) ||
                     (o->start <= c_start && c_start <= o_end && o_end <= end) ||
                     (c_start <= o->start && o->start <= end && o_end >= end) ||
                     (c_start <= o->start && o->start <= end && c_start <= o_end && o_end <= end);
      if (overlap) {
        report_error(a, 217);
        break;
      }
    }
    if (abs_address) section->location = round_up(abs_address_again(a, abs_address), section->alignment);
  }
  if (!a.option(opt_no_object)) object_section_switch(a, section);
}

}  // namespace

void make_current(Assembly& a, Section* section) {
  Section* previous = a.run.section;
  if (a.run.pass == pass_two && previous) previous->size = previous->location - previous->start;
  a.run.section = section;
}

void reset_sections(Assembly& a) {
  a.run.section = nullptr;
  a.sections.align_exemption = false;
  for (uint32_t h = 1; h <= a.symbols.section_count; ++h) {
    Section* s = section_from_handle(a, h);
    if (!s) continue;
    s->location = 0;
    s->bytes_saved = 0;
  }
}

void finish_section_sizes(Assembly& a) {
  if (Section* s = a.run.section) s->size = s->location - s->start;
}

uint32_t pad_to_multiple(Assembly& a, uint32_t n) {
  Section* s = a.run.section;
  if (!s || n == 0) return 0;
  uint32_t remainder = s->location % n;
  uint32_t pad = remainder ? n - remainder : 0;
  a.run.statement_size += pad;
  return pad;
}

void align_label(Assembly& a) {
  Section* s = a.run.section;
  if (!s) return;
  if (a.sections.align_exemption) {
    a.sections.align_exemption = false;
    return;
  }
  if (s->label_alignment <= 1) return;
  uint32_t remainder = s->location % s->label_alignment;
  if (!remainder) return;
  uint32_t gap = s->label_alignment - remainder;
  if (a.run.pass == pass_final && !a.option(opt_no_object)) object_skip(a, gap, true);
  s->location += gap;
}

// --- handlers --------------------------------------------------------------------------

void section_handler(Assembly& a) {
  if (a.run.pass == pass_one)
    section_pass_one(a);
  else
    section_later_pass(a);
}

// Without a section the statement is dropped; pass 1 reported it, and the
// later passes find its error mark set.
void org_handler(Assembly& a) {
  Section* s = a.run.section;
  if (!s) {
    if (!a.diag.error_mark) report_error(a, 215);
    return;
  }
  a.sections.align_exemption = false;
  ArenaRef tree = a.run.pass == pass_one ? a.statement.d.expression : payload_word(a, 0);
  if (a.run.pass == pass_one) {
    Value v = evaluate(a, tree);
    if (!absolute_value(v)) {
      if (!a.diag.error_mark) report_error(a, 206);
      return;
    }
    if (!a.diag.error_mark && !a.diag.warning_mark)
      s->location = static_cast<uint32_t>(v.value) & highest_address;
    return;
  }
  if (a.diag.error_mark) return;
  if (a.run.pass == pass_two) {
    Value v = evaluate(a, tree);
    uint32_t value = static_cast<uint32_t>(v.value) & highest_address;
    if (value != 0 && value >= s->location) s->location = value;
    return;
  }
  if (a.diag.warning_mark) return;
  Value v = evaluate(a, tree);
  if (!absolute_value(v)) {
    if (!a.diag.error_mark) report_error(a, 206);
    return;
  }
  uint32_t value = static_cast<uint32_t>(v.value);
  if (value < s->location) {
    report_error(a, 229);
    return;
  }
  if (value > highest_address) {
    report_warning(a, 501);
    value &= highest_address;
  }
  if (value == 0) return;
  if (!a.option(opt_no_object) && value > s->location) object_skip(a, value - s->location, true);
  s->location = value;
}

void align_handler(Assembly& a) {
  if (!a.run.section) {
    if (!a.diag.error_mark) report_error(a, 215);
    return;
  }
  ArenaRef tree = a.run.pass == pass_one ? a.statement.d.expression : payload_word(a, 0);
  if (a.run.pass == pass_one) {
    Value v = evaluate(a, tree);
    if (!absolute_value(v)) {
      if (!a.diag.error_mark) report_error(a, 206);
      return;
    }
    uint32_t n = static_cast<uint32_t>(v.value);
    if (!valid_align_operand(n)) {
      // An operand that already failed (a zero divisor, say) is not judged.
      if (!a.diag.error_mark) report_warning(a, 508);
      n = 1;
    }
    pad_to_multiple(a, n);
    return;
  }
  if (a.diag.error_mark) return;
  // The later passes align like pass 1, without repeating its warning.
  Value v = evaluate(a, tree);
  uint32_t n = static_cast<uint32_t>(v.value);
  if (!valid_align_operand(n)) n = 1;
  uint32_t pad = pad_to_multiple(a, n);
  if (a.run.pass == pass_final && pad && !a.option(opt_no_object)) object_skip(a, pad, true);
  a.sections.align_exemption = true;
}

void module_handler(Assembly& a) {
  if (a.run.pass != pass_one) return;
  if (a.sections.section_seen) {
    report_warning(a, 505);
    return;
  }
  if (!a.run.module_name.empty()) {
    report_warning(a, 509);
    return;
  }
  a.run.module_name.assign(a.statement.d.name);
  a.sections.module_listing_line = a.sources.files[a.sources.current].listing_line;
}

void end_handler(Assembly& a) {
  a.run.end_processed = true;
  if (a.run.pass == pass_one) {
    a.statement.end_seen = true;
    set_after_end(a);
    return;
  }
  if (a.run.pass == pass_two) {
    if (a.run.iteration == 0) drop_unreferenced_externals(a);
    if (a.run.iteration == RunState::max_iterations - 1) report_warning(a, 503);
  }
}

}  // namespace koral
