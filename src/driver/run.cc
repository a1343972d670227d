#include "driver/run.h"

#include <new>

#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "driver/banner.h"
#include "driver/files.h"
#include "driver/options.h"
#include "driver/passes.h"
#include "listing/symbol_listing.h"
#include "object/object_writer.h"
#include "platform/host.h"
#include "symbols/numbering.h"

namespace koral {

namespace {

// The arguments after the program name; with "-z@" first, the strings of the
// environment block from the eighth on.
std::vector<std::string> collect_arguments(Assembly& a, int argc, char** argv,
                                           std::vector<std::string>& all) {
  all.assign(argv, argv + argc);
  if (argc > 1 && all[1] == "-z@") {
    a.run.options |= opt_environment_args;
    all.resize(1);
    char** block = host::environment_block();
    for (int i = 0; block && block[i]; ++i)
      if (i >= 7) all.emplace_back(block[i]);
  }
  return std::vector<std::string>(all.begin() + 1, all.end());
}

void build_command_line_text(Assembly& a, const std::vector<std::string>& all) {
  std::size_t counted = 0;
  std::string& text = a.run.command_line;
  text.clear();
  for (const std::string& argument : all) {
    counted += argument.size() + 1;
    if (counted > RunState::max_command_line) report_fatal(a, 162);
    if (!text.empty()) text += ' ';
    text += argument;
  }
}

void open_outputs_for_final_pass(Assembly& a) {
  if (a.option(opt_listing)) {
    std::FILE* file = std::fopen(a.settings.listing_name.c_str(), "wb");
    if (!file) report_fatal(a, 20, a.settings.listing_name);
    a.listing.file = file;
    a.listing.path = a.settings.listing_name;
  }
  if (a.option(opt_error_file)) {
    device_check(a, a.settings.error_file_name);
    std::FILE* file = std::fopen(a.settings.error_file_name.c_str(), "ab");
    if (!file) report_fatal(a, 20, a.settings.error_file_name);
    a.diag.error_file = file;
    a.diag.error_file_path = a.settings.error_file_name;
  }
}

void close_quietly(std::FILE*& file) {
  if (file) std::fclose(file);
  file = nullptr;
}

void remove_object_file(Assembly& a) {
  close_quietly(a.object.stream);
  if (!a.object.path.empty()) std::remove(a.object.path.c_str());
  a.object.path.clear();
  host::clear_cleanup_path(host::cleanup_object);
}

// Closes what is open and removes the temporary files and a partial object.
int abort_run(Assembly& a, int category) {
  host::ignore_interrupt();
  close_quietly(a.listing.file);
  close_quietly(a.diag.error_file);
  close_quietly(a.sources.stream);
  a.temps.remove_all();
  if (a.object.stream || !a.object.path.empty()) {
    if (!host::equal_ignoring_case(a.object.path, a.sources.files.empty() ? std::string()
                                                                          : a.sources.files[0].path))
      remove_object_file(a);
    else
      close_quietly(a.object.stream);
  }
  static constexpr int statuses[] = {exit_files, exit_command_line, exit_internal};
  return statuses[category];
}

void close_or_fatal(Assembly& a, std::FILE*& file, const std::string& name) {
  if (!file) return;
  int status = std::fclose(file);
  file = nullptr;
  if (status != 0) report_fatal(a, 21, name);
}

int end_run(Assembly& a) {
  close_or_fatal(a, a.listing.file, a.settings.listing_name);
  close_or_fatal(a, a.diag.error_file, a.settings.error_file_name);
  close_or_fatal(a, a.sources.stream, a.settings.source_name);
  if (a.temps.close(TempKind::token) != 0) report_fatal(a, 21, "tokenfile");
  for (TempKind kind : {TempKind::err1, TempKind::err2, TempKind::refsym, TempKind::bb5})
    if (a.temps.close(kind) != 0) report_fatal(a, 21);
  a.temps.remove_all();
  close_or_fatal(a, a.object.stream, a.settings.object_name);
  host::clear_cleanup_path(host::cleanup_object);

  if (a.option(opt_error_file) && a.diag.error_count == 0 && a.diag.warning_count == 0) {
    struct stat st;
    const std::string& name = a.settings.error_file_name;
    if (stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0)
      std::remove(name.c_str());
  }
  if (a.diag.error_count > 0) {
    if (!a.option(opt_keep_object)) remove_object_file(a);
    return exit_errors;
  }
  return exit_ok;
}

int assemble(Assembly& a, int argc, char** argv) {
  if (argc <= 1) {
    std::printf("%s\n", usage_line);
    return exit_ok;
  }
  std::vector<std::string> all;
  std::vector<std::string> arguments = collect_arguments(a, argc, argv, all);
  host::install_interrupt_handler(exit_internal);
  a.temps.use_disk(false);
  build_command_line_text(a, all);
  a.temps.build_names(environment_value(a, "TMP"));
  process_arguments(a, arguments);
  print_banner(a);
  open_source_and_token_file(a);
  prescan_option_lines(a);
  settle_output_names(a);
  const std::string default_module = default_module_name(a);
  run_pass_one(a);
  if (a.run.module_name.empty()) a.run.module_name = default_module;
  run_pass_two(a);
  drop_undefined_publics(a);
  if (a.option(opt_listing) || !a.option(opt_no_object)) a.run.time_stamp = host::run_time_stamp();
  if (!a.option(opt_no_object)) object_begin(a);
  open_outputs_for_final_pass(a);
  run_final_pass(a);
  a.run.command_line.clear();
  a.run.command_line.shrink_to_fit();
  if (!a.option(opt_no_object)) object_finish(a);
  if (a.option(opt_listing) && !a.option(opt_no_symbol_table)) list_symbol_table(a);
  return end_run(a);
}

}  // namespace

int run_assembler(Assembly& a, int argc, char** argv) {
  try {
    try {
      return assemble(a, argc, argv);
    } catch (const std::bad_alloc&) {
      report_fatal(a, 161);  // a table that could not grow
    }
  } catch (const RunAborted& aborted) {
    return abort_run(a, aborted.category);
  }
}

int run_assembler(int argc, char** argv) {
  Assembly a;
  int status = run_assembler(a, argc, argv);
  std::fflush(stdout);
  return status;
}

}  // namespace koral
