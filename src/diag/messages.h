// The message catalogue: one text per diagnostic code.
#pragma once

#include <string>
#include <string_view>

namespace koral {

enum class Severity { fatal, error, warning };

// Severity of a code, by its range: 20..199 fatal, 200..499 error, 500.. warning.
Severity severity_of(int code);

// Catalogue text of `code` ("" for a code without text).
std::string_view message_text(int code);

// The catalogue text with `arg` put in place of its "%s" (when it has one).
std::string format_message(int code, std::string_view arg);

}  // namespace koral
