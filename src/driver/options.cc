#include "driver/options.h"

#include <cstdio>

#include "diag/diagnostics.h"
#include "driver/assembly.h"
#include "driver/banner.h"
#include "driver/files.h"
#include "driver/option_actions.h"
#include "driver/option_table.h"
#include "platform/host.h"

namespace koral {

namespace {

constexpr std::size_t max_command_file_entries = 5000;

void take_source_name(Assembly& a, const std::string& name) {
  std::string& source = a.settings.source_name;
  if (source.empty()) {
    source = name;
    return;
  }
  if (host::equal_ignoring_case(source, name)) report_fatal(a, 103, name);
  report_fatal(a, 101);
}

// Splits the content of a command file into words: white space separates
// them, double quotes switch quoting on and off, and a Ctrl-Z outside quotes
// ends the file.
std::vector<std::string> command_file_words(Assembly& a, const std::string& name,
                                            std::size_t& characters) {
  std::FILE* file = std::fopen(name.c_str(), "rb");
  if (!file || host::file_type(name) != host::FileType::regular) {
    if (file) std::fclose(file);
    report_fatal(a, 20, name);
  }
  std::vector<std::string> words;
  std::string word;
  bool quoted = false;
  bool in_word = false;
  auto finish_word = [&] {
    if (!in_word) return;
    characters += word.size();
    if (characters > RunState::max_command_line) {
      std::fclose(file);
      report_fatal(a, 162);
    }
    words.push_back(std::move(word));
    word.clear();
    in_word = false;
  };
  char buffer[4096];
  std::size_t got;
  bool ended = false;
  while (!ended && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    for (std::size_t i = 0; i < got; ++i) {
      char c = buffer[i];
      if (c == 26 && !quoted) {
        ended = true;
        break;
      }
      if (c == '"') {
        quoted = !quoted;
        in_word = true;
      } else if (!quoted && (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v')) {
        finish_word();
      } else {
        word.push_back(c);
        in_word = true;
        if (word.size() > RunState::max_command_line) {
          std::fclose(file);
          report_fatal(a, 162);
        }
      }
    }
  }
  finish_word();
  std::fclose(file);
  return words;
}

// Expands "-f name" at its place: the words of the command file, then the
// remaining arguments, in which a further -f is expanded the same way.
std::vector<std::string> expand_command_files(Assembly& a, const std::vector<std::string>& arguments,
                                              std::size_t from) {
  std::vector<std::string> expanded;
  std::size_t characters = a.run.command_line.size();
  for (std::size_t i = from; i < arguments.size(); ++i) {
    OptionMatch m = arguments[i].size() > 1 && arguments[i][0] == '-' && arguments[i][1] != '-'
                        ? match_option(arguments[i])
                        : OptionMatch{};
    if (m.id != option_f) {
      expanded.push_back(arguments[i]);
      continue;
    }
    std::string name;
    if (m.attached) {
      name.assign(m.value);
    } else {
      if (i + 1 >= arguments.size()) report_fatal(a, 106, arguments[i]);
      name = arguments[++i];
      if (!name.empty() && name[0] == '-') {
        if (name != "--" || i + 1 >= arguments.size()) report_fatal(a, 105);
        name = arguments[++i];
      }
    }
    if (!valid_file_name(name) || name.size() > Settings::max_name) report_fatal(a, 101);
    device_check(a, name);
    if (a.settings.command_file_name.empty()) a.settings.command_file_name = name;
    for (std::string& word : command_file_words(a, name, characters)) expanded.push_back(std::move(word));
    if (expanded.size() > max_command_file_entries) report_fatal(a, 162);
  }
  return expanded;
}

void final_checks(Assembly& a, bool left_unprocessed) {
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
  if (left_unprocessed) report_fatal(a, 101);
  complete_include_directories(a);
}

// Processes a list of arguments; true when "--" left some unprocessed.
bool process_list(Assembly& a, const std::vector<std::string>& arguments) {
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument.empty() || argument[0] != '-') {
      take_source_name(a, argument);
      continue;
    }
    if (argument.size() > 1 && argument[1] == '-') {
      if (argument == "--" && i + 1 < arguments.size()) return true;
      report_fatal(a, 101);
    }
    OptionMatch m = match_option(argument);
    if (m.id == option_f && !a.run.in_command_file) {
      std::vector<std::string> expanded = expand_command_files(a, arguments, i);
      a.run.in_command_file = true;
      return process_list(a, expanded);
    }
    OptionInput input{false, &arguments, i, {}};
    apply_option(a, argument, m, input);
    i = input.index;
  }
  return false;
}

}  // namespace

void process_arguments(Assembly& a, const std::vector<std::string>& arguments) {
  bool left_unprocessed = process_list(a, arguments);
  final_checks(a, left_unprocessed);
}

}  // namespace koral

namespace koral {

namespace {
bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
}  // namespace

void process_option_line(Assembly& a, std::string_view line) {
  std::string_view rest = line;  // the text after the line's first "-"
  for (bool first = true;; first = false) {
    if (!first) {
      while (!rest.empty() && is_blank(rest[0])) rest.remove_prefix(1);
      if (rest.empty() || rest[0] == ';') return;
      if (rest[0] != '-') {
        option_line_report(a, 0);  // text after an option
        return;
      }
      rest.remove_prefix(1);
    }
    std::size_t end = 0;
    while (end < rest.size() && !is_blank(rest[end]) && rest[end] != ';' && rest[end] != '-') ++end;
    std::string text(1, '-');
    text.append(rest.substr(0, end));
    rest.remove_prefix(end);
    if (text.size() > 1 && text[1] == 'N' && (text.size() != 4 || text.compare(0, 3, "-Nc") != 0)) {
      option_line_report(a, 515);
      return;
    }
    OptionMatch match = match_option(text);
    OptionInput input{true, nullptr, 0, rest};
    bool accepted = apply_option(a, text, match, input);
    rest = input.rest;
    if (!accepted) return;  // the rest of the line is skipped
  }
}

}  // namespace koral
