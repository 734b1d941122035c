#pragma once

#include "platform/settings_store.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Appends the code point as UTF-8.
void AppendUtf8(std::string& out, std::uint32_t code);

// The code point of the UTF-8 sequence at text[at] and its length in bytes; 0 when the bytes there
// are no UTF-8 (a bad or cut sequence, an overlong form, a surrogate, or past U+10FFFF).
std::size_t DecodeUtf8(std::string_view text, std::size_t at, char32_t& code);

// Number of UTF-16 code units the UTF-8 text takes, or nothing when it is not valid UTF-8.
std::optional<std::size_t> Utf16Units(std::string_view text);

// A value name or value that any store accepts: valid UTF-8, no NUL, at most kMaxTextUnits units.
bool IsStorableText(std::string_view text);

// A key path: storable text of one or more non-empty components separated by single backslashes.
bool IsValidKeyPath(std::string_view path);

// A valid key path whose every component is at most kMaxKeyNameUnits long: what a key creation
// accepts. Longer names could not be listed, and so never be deleted, by the registry routines.
bool IsCreatableKeyPath(std::string_view path);

// A sub-key name: a valid key path of one component. What a call on a sub-key takes; a path
// there would reach a deeper key.
bool IsKeyName(std::string_view name);

// Whether the text and its terminating zero fit a caller's buffer of so many UTF-16 units. Text
// that is not UTF-8 (only a damaged or crafted store holds any) fits none, so no caller takes it
// for text.
bool FitsBuffer(std::string_view text, std::size_t units);

// The components of a valid key path.
std::vector<std::string> SplitKeyPath(std::string_view path);

// The English message text for a status code, as the system words it.
std::string StandardStatusMessage(Status status);

// The Swedish text for the user about a status code.
std::string UserStatusMessage(Status status);

} // namespace platform
