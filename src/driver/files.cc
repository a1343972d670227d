#include "driver/files.h"

#include <cstring>

#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "platform/host.h"

namespace koral {

namespace {
constexpr std::size_t max_directory_name = 260;

bool blank_slot(const char* slot) { return !slot || *slot == '\0' || *slot == ' '; }

std::string last_component(std::string_view name) {
  std::size_t cut = name.find_last_of("/\\:");
  return std::string(cut == std::string_view::npos ? name : name.substr(cut + 1));
}

// The name without a leading drive ("X:") that is not followed by a separator.
std::string_view without_drive(std::string_view name) {
  if (name.size() >= 2 && name[1] == ':' && (name.size() == 2 || !host::is_separator(name[2])))
    return name.substr(2);
  return name;
}

// Output name formed from the source: its last component up to its last ".".
std::string derived_name(std::string_view source, const char* extension) {
  std::string base = last_component(without_drive(source));
  std::size_t dot = base.find_last_of('.');
  if (dot != std::string::npos) base.resize(dot);
  return base + extension;
}

// Appends one directory to the include list, in the form the search uses.
void append_directory(Assembly& a, std::string directory, int count_fatal) {
  directory = host::with_slashes(directory);
  if (directory.empty() || directory.back() != '/') directory += '/';
  if (directory.size() > max_directory_name) report_fatal(a, 161);
  if (!valid_file_name(directory)) report_fatal(a, 101);
  std::vector<std::string>& dirs = a.settings.include_dirs;
  if (dirs.size() >= static_cast<std::size_t>(Settings::max_include_dirs) + 1)
    report_fatal(a, count_fatal);
  std::string full;
  if (!host::full_path(directory, full)) report_fatal(a, 101);
  if (full.back() != '/') full += '/';
  dirs.push_back(std::move(full));
}
}  // namespace

const char* environment_value(const Assembly& a, const char* name) {
  if (a.option(opt_environment_args)) {
    int slot = std::strcmp(name, "THOME") == 0 ? 5 : std::strcmp(name, "TMP") == 0 ? 6 : -1;
    if (slot >= 0) {
      char** block = host::environment_block();
      int i = 0;
      while (block && block[i] && i < slot) ++i;
      if (block && block[i] && i == slot && !blank_slot(block[i])) return block[i];
    }
  }
  return host::environment(name);
}

bool valid_file_name(std::string_view name) {
  for (unsigned char c : name) {
    if (c < 32 || c == 127) return false;
    if (std::strchr("+,;=[]", c) && c != 0) return false;
  }
  return true;
}

bool names_device(std::string_view name) {
  return host::is_device_stem(name.substr(0, name.find('.')));
}

void device_check(Assembly& a, std::string_view name) {
  if (names_device(name)) report_fatal(a, 102);
}

void open_source_and_token_file(Assembly& a) {
  const std::string& name = a.settings.source_name;
  std::string full;
  if (!host::full_path(name, full)) report_fatal(a, 101);
  a.settings.include_dirs[0] = host::directory_part(full);

  switch (host::file_type(full)) {
    case host::FileType::regular: break;
    case host::FileType::other: report_fatal(a, 102);  // a device, not a disk file
    default: report_fatal(a, 20, name);
  }
  std::FILE* stream = std::fopen(full.c_str(), "rb");
  if (!stream) report_fatal(a, 20, name);

  SourceFiles& sources = a.sources;
  sources.files.clear();
  sources.files.push_back(SourceFile{name, full, 0, 0, 0, true});
  sources.current = 0;
  sources.stream = stream;

  if (!a.temps.open(TempKind::token)) {
    if (a.option(opt_temp_on_disk)) report_fatal(a, 20, "tokenfile");
    report_fatal(a, 161);
  }
}

void settle_output_names(Assembly& a) {
  Settings& s = a.settings;
  if (!a.option(opt_no_object)) {
    if (!a.option(opt_object_name)) s.object_name = derived_name(s.source_name, ".rel");
    device_check(a, s.object_name);
  }
  if (a.option(opt_listing)) {
    if (s.listing_name.empty()) {
      std::string name = derived_name(s.source_name, ".lst");
      if (name.size() < 260) s.listing_name = name;
    }
    device_check(a, s.listing_name);
  }

  struct NameInUse {
    const std::string* name;
    std::string full;
  };
  std::vector<NameInUse> names;
  names.push_back({&s.source_name, {}});
  if (!a.option(opt_no_object)) names.push_back({&s.object_name, {}});
  if (a.option(opt_listing)) names.push_back({&s.listing_name, {}});
  if (a.option(opt_error_file)) names.push_back({&s.error_file_name, {}});
  for (NameInUse& n : names)
    if (!host::full_path(*n.name, n.full)) report_fatal(a, 101);
  for (std::size_t i = 0; i < names.size(); ++i)
    for (std::size_t j = i + 1; j < names.size(); ++j)
      if (host::equal_ignoring_case(names[i].full, names[j].full))
        report_fatal(a, 103, *names[i].name);

  a.sources.files[0].path = names[0].full;
}

std::string default_module_name(Assembly& a) {
  const std::string& from =
      a.option(opt_shown_name) ? a.settings.shown_name : a.settings.source_name;
  std::string component = last_component(from);
  if (!component.empty() && component[0] == '.') report_fatal(a, 101);
  return component.substr(0, component.find('.'));
}

void add_include_directory(Assembly& a, std::string_view directory) {
  append_directory(a, std::string(directory), 161);
  a.run.options |= opt_include_dirs;
}

void complete_include_directories(Assembly& a) {
  bool any = false;
  for (const char* variable : {"HOMEKORAL", "THOME"}) {
    const char* value = environment_value(a, variable);
    if (!value || !*value) continue;
    any = true;
    std::string home(value);
    if (!home.empty() && home.back() == ';') home.pop_back();
    if (!home.empty() && host::is_separator(home.back())) home.pop_back();
    home = host::with_slashes(home) + "/include/";
    append_directory(a, home, 158);
  }
  if (!any) append_directory(a, "./", 158);
}

}  // namespace koral
