// Names and opening of the files of a run: the source, the outputs, the
// include search list, and the checks applied to every file name.
#pragma once

#include <string>
#include <string_view>

namespace koral {

struct Assembly;

// Environment look-up; with the -z@ form THOME and TMP come from fixed slots
// of the environment block.
const char* environment_value(const Assembly& a, const char* name);

// True when the name holds no control character, DEL, "+", ",", ";", "=",
// "[" or "]".
bool valid_file_name(std::string_view name);

// True when the name, up to its first ".", is a reserved device name.
bool names_device(std::string_view name);

// Fatal 102 when the name refers to a device.
void device_check(Assembly& a, std::string_view name);

// Opens the source file and creates the token file.
void open_source_and_token_file(Assembly& a);

// Forms the object and listing names, checks that no two files are the same,
// and forms the default module name.
void settle_output_names(Assembly& a);

// Appends an -I directory to the include search list.
void add_include_directory(Assembly& a, std::string_view directory);

// Adds the tool's own include directories (or the current one) at the end.
void complete_include_directories(Assembly& a);

// The module name formed from the source (or -GN) name.
std::string default_module_name(Assembly& a);

}  // namespace koral
