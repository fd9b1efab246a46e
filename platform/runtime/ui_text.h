// The program's own texts: Japanese, and the source texts of their translations.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// Marks a source text where it is written, so that lupdate collects it (into context "vimbrel") for
// translations/; the text itself is unchanged. The windows translate it where they show it
// (FormRuntime::translated); the headless runtime keeps it as it is.
#define UI_TEXT(text) text

namespace vimbrel {

// The one translation context of the program's texts.
inline constexpr const char* kTextContext = "vimbrel";

// `pattern` with each %1 ... %9 replaced by that argument, in one pass: an argument's own "%1", a
// file name's say, stays as it is. A number without an argument is left in place.
std::string fill_text(std::string_view pattern, std::initializer_list<std::string_view> args);

}  // namespace vimbrel
