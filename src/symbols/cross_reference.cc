#include "symbols/cross_reference.h"

#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "symbols/symbol_table.h"

namespace koral {

namespace {

void put_le32(unsigned char* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}

TempFile& reference_file(Assembly& a) {
  TempFile& file = a.temps[TempKind::refsym];
  if (!file.is_open() && !a.temps.open(TempKind::refsym)) {
    if (a.option(opt_temp_on_disk)) report_fatal(a, 20, a.temps.label(TempKind::refsym));
    report_fatal(a, 161);
  }
  return file;
}

void write_at(Assembly& a, int32_t position, const void* bytes, std::size_t count) {
  TempFile& file = reference_file(a);
  bool on_disk = a.option(opt_temp_on_disk);
  if (file.seek(position, seek_start) != position) {
    if (on_disk) report_fatal(a, 24, a.temps.label(TempKind::refsym));
    report_fatal(a, 150);
  }
  if (file.write(bytes, count) != static_cast<long>(count)) {
    if (on_disk) report_fatal(a, 23, a.temps.label(TempKind::refsym));
    report_fatal(a, 161);
  }
}

}  // namespace

void record_reference(Assembly& a, Symbol* symbol, Section* section) {
  ReferenceChain& chain = symbol ? symbol->references : section->references;
  bool writing = a.option(opt_cross_reference);
  SymbolTable& table = a.symbols;

  if (chain.count % references_per_block == 0) {
    int32_t block = table.next_reference_block;
    table.next_reference_block += reference_block_size;
    if (writing) {
      static constexpr unsigned char zeros[reference_block_size] = {};
      write_at(a, block, zeros, sizeof zeros);
    }
    if (chain.count > 0) {
      if (writing) {
        unsigned char link[4];
        put_le32(link, static_cast<uint32_t>(block));
        write_at(a, chain.next_record - 112, link, sizeof link);
      }
    } else {
      chain.first_block = block;
    }
    chain.next_record = block + 4;
  } else {
    chain.next_record += reference_record_size;
  }
  ++chain.count;

  if (writing) {
    const SourceFiles& sources = a.sources;
    unsigned char record[reference_record_size] = {};
    uint32_t file_index = sources.current;
    record[0] = static_cast<unsigned char>(file_index);
    record[1] = static_cast<unsigned char>(file_index >> 8);
    put_le32(record + 4, static_cast<uint32_t>(sources.current_line()));
    put_le32(record + 8, static_cast<uint32_t>(sources.current_listing_line()));
    write_at(a, chain.next_record, record, sizeof record);
  }
}

}  // namespace koral
