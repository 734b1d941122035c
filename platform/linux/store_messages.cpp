#include "platform/linux/store_messages.h"

#include "platform/store_text.h"

#include <array>
#include <string_view>

namespace platform {

namespace {

constexpr std::string_view kPrefix = "The settings store file '";

struct Reason {
    std::string_view english;
    const char* swedish;
};

// The first reason whose English words the detail holds gives its Swedish words.
constexpr std::array kReasons = {
    Reason{"is empty and cannot be written", "är tom och kan inte skrivas."},
    Reason{"not to the owner of its shared folder",
           "tillhör inte ägaren av sin delade mapp och används inte. Mappens ägare kan ta över den "
           "med 'vemlo-reg init-machine-hive'."},
    Reason{
        "another name reaches the same file",
        "har fler än ett namn (en hård länk) och används inte. Mappens ägare kan ta över den med "
        "'vemlo-reg init-machine-hive'."},
    Reason{"only the owner of its shared folder",
           "saknas, och bara ägaren av dess delade mapp får skapa den: kör 'vemlo-reg "
           "init-machine-hive' som den användaren."},
    Reason{"uses WAL", "använder WAL, som den delade mappen inte tillåter: kör 'vemlo-reg "
                       "init-machine-hive' som mappens ägare."},
    Reason{"cannot be written", "kan inte skrivas: ändringar kan inte sparas."},
    Reason{"cannot be read", "kan inte läsas: åtkomst nekad."},
    Reason{"cannot be created", "kan inte skapas."},
    Reason{"cannot be opened", "kan inte öppnas."},
    Reason{"is not a folder", "kan inte användas: dess mapp är ingen vanlig mapp."},
    Reason{"not a regular file", "är ingen vanlig fil och kan inte användas. Ta bort den."},
    Reason{"belongs to another program", "är inget inställningslager: den hör till ett annat "
                                         "program eller en annan version."},
    Reason{"holds what no store holds",
           "är inget inställningslager: den innehåller tabeller, vyer eller utlösare som inget "
           "inställningslager har, och används därför inte."},
    Reason{"is not a store", "är inget inställningslager eller är skadad."},
    Reason{"batch of writes was rolled back",
           "ändrades inte: ändringarna kunde inte sparas och har ångrats."},
    Reason{"database is locked", "är låst av ett annat program. Försök igen om en stund."},
    Reason{"disk is full", "kunde inte skrivas: disken är full."},
};

} // namespace

std::string About(const std::string& file, const std::string& why) {
    return std::string(kPrefix) + file + "' " + why;
}

std::string SwedishDetail(const std::string& detail, Status status) {
    if (!detail.starts_with(kPrefix)) {
        return UserStatusMessage(status);
    }
    const auto rest = std::string_view(detail).substr(kPrefix.size());
    // The reason follows the last "' " that ends a file name; a reason's own quoted names end
    // in "':" or "' is".
    const auto end = rest.find("' ");
    const auto file = rest.substr(0, end);
    for (const auto& reason : kReasons) {
        if (rest.find(reason.english) != std::string_view::npos) {
            return "Inställningsfilen '" + std::string(file) + "' " + reason.swedish;
        }
    }
    return "Inställningsfilen '" + std::string(file) + "': " + UserStatusMessage(status);
}

} // namespace platform
