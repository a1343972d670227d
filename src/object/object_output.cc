#include "object/object_output.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <new>

#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "platform/host.h"

namespace koral {

namespace {

void write_to_file(Assembly& a, const uint8_t* bytes, uint32_t count) {
  if (count == 0 || !a.object.stream) return;
  if (std::fwrite(bytes, 1, count, a.object.stream) != count) report_fatal(a, 154);
}

}  // namespace

void open_object_file(Assembly& a) {
  ObjectFile& object = a.object;
  const std::string& name = a.settings.object_name;
  std::string full;
  if (!host::full_path(name, full)) full = name;
  {
    host::InterruptsHeld held;  // created and registered for removal as one step
    int descriptor = ::open(name.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0666);  // less the umask
    std::FILE* stream = descriptor < 0 ? nullptr : ::fdopen(descriptor, "w+b");
    if (!stream) {
      if (descriptor >= 0) ::close(descriptor);
      report_fatal(a, 20, name);
    }
    object.stream = stream;
    object.path = full;
    const bool names_source =
        !a.sources.files.empty() && host::equal_ignoring_case(full, a.sources.files[0].path);
    if (!names_source) host::set_cleanup_path(host::cleanup_object, full);
  }

  object.block.reset(new (std::nothrow) uint8_t[ObjectFile::block_size]);
  if (!object.block) report_fatal(a, 161);
  object.block_fill = 0;
  object.record.reserve(ObjectFile::record_room);
}

ObjectBytes& object_record(Assembly& a) { return a.object.record; }

void flush_object_record(Assembly& a) {
  ObjectFile& object = a.object;
  const uint32_t length = static_cast<uint32_t>(object.record.size());
  if (length == 0) return;
  if (object.block) {
    const uint8_t* bytes = object.record.data();
    uint32_t left = length;
    if (object.block_fill + left > ObjectFile::block_size) {
      write_object_block(a);
      while (left > ObjectFile::block_size) {
        write_to_file(a, bytes, ObjectFile::block_size);
        bytes += ObjectFile::block_size;
        left -= ObjectFile::block_size;
      }
    }
    std::memcpy(object.block.get() + object.block_fill, bytes, left);
    object.block_fill += left;
  }
  object.position += length;
  object.record.clear();
}

void write_object_block(Assembly& a) {
  ObjectFile& object = a.object;
  if (object.stream) write_to_file(a, object.block.get(), object.block_fill);
  object.block_fill = 0;
}

void patch_object_file(Assembly& a, uint32_t offset, const uint8_t* bytes, uint32_t count) {
  std::FILE* stream = a.object.stream;
  if (!stream) return;
  if (std::fseek(stream, static_cast<long>(offset), SEEK_SET) != 0) report_fatal(a, 154);
  write_to_file(a, bytes, count);
}

}  // namespace koral
