#include "driver/options.h"

#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "driver/banner.h"
#include "driver/files.h"
#include "platform/host.h"

namespace koral {

namespace {

void take_source_name(Assembly& a, const std::string& name) {
  std::string& source = a.settings.source_name;
  if (source.empty()) {
    source = name;
    return;
  }
  if (host::equal_ignoring_case(source, name)) report_fatal(a, 103, name);
  report_fatal(a, 101);
}

void final_checks(Assembly& a) {
  if (a.option(opt_no_object)) a.run.options &= ~uint32_t(opt_object_name);
  const std::string& source = a.settings.source_name;
  if (source.empty()) {
    if (a.run.options == opt_version) {
      print_banner(a);
      throw RunAborted{0};
    }
    report_fatal(a, 100);
  }
  device_check(a, source);
  if (!valid_file_name(source) || source.size() > Settings::max_name) report_fatal(a, 101);
  std::string full;
  if (!host::full_path(source, full) || host::file_type(full) == host::FileType::missing)
    report_fatal(a, 100);
  complete_include_directories(a);
}

}  // namespace

void process_arguments(Assembly& a, const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    if (argument.empty() || argument[0] != '-') {
      take_source_name(a, argument);
      continue;
    }
    report_fatal(a, 109, argument);
  }
  final_checks(a);
}

void process_option_line(Assembly& a, std::string_view) { option_line_report(a, 0); }

}  // namespace koral
