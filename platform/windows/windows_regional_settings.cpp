#include "platform/windows/windows_regional_settings.h"

#include "platform/regional_text.h"
#include "platform/windows/wide_text.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <vector>
#include <windows.h>

namespace platform {

namespace {

// One piece of a picture: a run of one picture letter, or literal text (letter 0).
struct Piece {
    char letter = 0;
    std::size_t run = 0;
    std::string text;
};

bool IsPatternLetter(char c) {
    return std::string_view("yMdHhms").find(c) != std::string_view::npos;
}

// The letters that Windows reads as pictures in a date or in a time; every other character of
// a picture is written as it stands.
std::string_view PictureLetters(PictureKind kind) {
    return kind == PictureKind::Date ? "dMyg" : "hHmst";
}

std::vector<Piece> Pieces(std::string_view picture, PictureKind kind) {
    std::vector<Piece> pieces;
    const auto literal = [&pieces](std::string_view text) {
        if (pieces.empty() || pieces.back().letter != 0) {
            pieces.emplace_back();
        }
        pieces.back().text += text;
    };
    for (std::size_t i = 0; i < picture.size();) {
        const char c = picture[i];
        if (picture.substr(i, 2) == "''") {
            // Two quotes outside quoted text stand for one.
            literal("'");
            i += 2;
            continue;
        }
        if (c == '\'') {
            // Quoted text runs to the next lone quote (or the end); two quotes stand for one.
            std::string text;
            for (++i; i < picture.size(); ++i) {
                if (picture[i] != '\'') {
                    text += picture[i];
                } else if (picture.substr(i, 2) == "''") {
                    text += picture[++i];
                } else {
                    ++i;
                    break;
                }
            }
            literal(text);
            continue;
        }
        if (PictureLetters(kind).find(c) == std::string_view::npos) {
            literal(picture.substr(i, 1));
            ++i;
            continue;
        }
        std::size_t run = 1;
        while (i + run < picture.size() && picture[i + run] == c) {
            ++run;
        }
        pieces.push_back({.letter = c, .run = run, .text = {}});
        i += run;
    }
    return pieces;
}

// The pattern letters of one picture letter's run; empty when they have none for it.
std::string LettersOf(const Piece& piece) {
    switch (piece.letter) {
    case 'd':
    case 'M':
        // Three or more name the day or the month.
        return piece.run <= 2 ? std::string(piece.run, piece.letter) : std::string();
    case 'y':
        return piece.run <= 2 ? "yy" : "yyyy";
    case 'h':
    case 'H':
    case 'm':
    case 's':
        return std::string(piece.run == 1 ? 1 : 2, piece.letter);
    case 't':
        return "AP";
    default:
        // The era.
        return {};
    }
}

bool HasParts(std::string_view pattern, PictureKind kind) {
    const auto has = [pattern](char c) {
        return pattern.find(c) != std::string_view::npos;
    };
    return kind == PictureKind::Date ? has('y') && has('M') && has('d')
                                     : (has('H') || has('h')) && has('m');
}

const Piece* FirstOf(const std::vector<Piece>& pieces, std::string_view letters,
                     std::size_t longestRun = SIZE_MAX) {
    for (const auto& piece : pieces) {
        if (piece.letter != 0 && letters.find(piece.letter) != std::string_view::npos &&
            piece.run <= longestRun) {
            return &piece;
        }
    }
    return nullptr;
}

std::string NumericDate(const std::vector<Piece>& pieces, char separator) {
    const std::string dash(1, separator);
    // The day of the month, not its name; the month by number even where the picture names it.
    std::vector<const Piece*> parts{FirstOf(pieces, "d", 2), FirstOf(pieces, "M"),
                                    FirstOf(pieces, "y")};
    if (!parts[0] || !parts[1] || !parts[2]) {
        return "yyyy" + dash + "MM" + dash + "dd";
    }
    // The pieces lie in one vector in the picture's order.
    std::sort(parts.begin(), parts.end());
    std::string pattern;
    for (const Piece* part : parts) {
        if (!pattern.empty()) {
            pattern += separator;
        }
        pattern += part->letter == 'M' && part->run > 2 ? "MM" : LettersOf(*part);
    }
    return pattern;
}

std::string NumericTime(const std::vector<Piece>& pieces, char separator) {
    const std::string colon(1, separator);
    const Piece* hour = FirstOf(pieces, "hH");
    if (!hour || !FirstOf(pieces, "m")) {
        return "HH" + colon + "mm" + colon + "ss";
    }
    std::string pattern = LettersOf(*hour) + colon + "mm";
    if (FirstOf(pieces, "s")) {
        pattern += colon + "ss";
    }
    return hour->letter == 'h' ? pattern + " AP" : pattern;
}

// The text of one item of the user's locale; nothing when it cannot be read.
std::optional<std::string> LocaleText(LCTYPE item) {
    // A second try covers a value that grew between asking its length and reading it.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int units = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, item, nullptr, 0);
        if (units <= 0) {
            return std::nullopt;
        }
        std::wstring text(static_cast<std::size_t>(units), L'\0');
        const int written = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, item, text.data(), units);
        if (written > 0) {
            text.resize(static_cast<std::size_t>(written - 1));
            return Narrow(text);
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

// A separator of the locale, when it is one punctuation character.
char SeparatorOf(const std::optional<std::string>& text, char fallback) {
    const bool usable =
        text && text->size() == 1 && std::ispunct(static_cast<unsigned char>(text->front())) != 0;
    return usable ? text->front() : fallback;
}

} // namespace

std::optional<std::string> PatternOfPicture(std::string_view picture, PictureKind kind) {
    std::string pattern;
    // A literal "A" before a literal "P" would read as the morning or afternoon text.
    bool literalA = false;
    for (const auto& piece : Pieces(picture, kind)) {
        if (piece.letter == 0) {
            for (const char c : piece.text) {
                if (IsPatternLetter(c) || (c == 'P' && literalA)) {
                    return std::nullopt;
                }
                pattern += c;
                literalA = c == 'A';
            }
            continue;
        }
        const std::string letters = LettersOf(piece);
        if (letters.empty()) {
            return std::nullopt;
        }
        pattern += letters;
        literalA = false;
    }
    return pattern;
}

std::string PatternOrNumericForm(std::string_view picture, PictureKind kind, char separator) {
    if (auto pattern = PatternOfPicture(picture, kind); pattern && HasParts(*pattern, kind)) {
        return *pattern;
    }
    const auto pieces = Pieces(picture, kind);
    return kind == PictureKind::Date ? NumericDate(pieces, separator)
                                     : NumericTime(pieces, separator);
}

RegionalFormats WindowsRegionalSettings::formats() {
    RegionalFormats formats;
    const char date = SeparatorOf(LocaleText(LOCALE_SDATE), formats.dateSeparator);
    const char time = SeparatorOf(LocaleText(LOCALE_STIME), formats.timeSeparator);
    if (const auto picture = LocaleText(LOCALE_SSHORTDATE)) {
        formats.shortDate = PatternOrNumericForm(*picture, PictureKind::Date, date);
    }
    if (const auto picture = LocaleText(LOCALE_STIMEFORMAT)) {
        formats.longTime = PatternOrNumericForm(*picture, PictureKind::Time, time);
    }
    // What the patterns write is what is read back: their own separators come first.
    formats.dateSeparator = PatternSeparator(formats.shortDate, date);
    formats.timeSeparator = PatternSeparator(formats.longTime, time);
    if (auto am = LocaleText(LOCALE_S1159)) {
        formats.amText = std::move(*am);
    }
    if (auto pm = LocaleText(LOCALE_S2359)) {
        formats.pmText = std::move(*pm);
    }
    return formats;
}

} // namespace platform
