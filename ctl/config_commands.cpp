#include "ctl/config_commands.h"

#include "admin/config_rules.h"
#include "admin/export_folder.h"
#include "admin/schedule_store.h"
#include "ctl/ctl_exit.h"
#include "ctl/write_batch.h"

#include <charconv>
#include <vector>

namespace {

const std::vector<std::string> kFieldOptions = {"--name", "--dataprovider", "--folder", "--file"};

std::vector<std::string> With(std::vector<std::string> options, const std::string& more) {
    options.push_back(more);
    return options;
}

// The index of the configuration that the command names: by the word after the verb, its name,
// or by --slot N, the N of its key "Config-N". Several of one name are refused with their slots.
struct Addressed {
    int index = -1;
    int code = kCtlOk;
};

Addressed Find(const lumra::TLumraConfigs& configs, const CtlArguments& arguments,
               const CtlStreams& streams) {
    if (const auto slot = arguments.option("--slot")) {
        int number = -1;
        const auto* end = slot->data() + slot->size();
        const auto [rest, error] = std::from_chars(slot->data(), end, number);
        if (error != std::errc() || rest != end || number < 0) {
            throw CtlUsageError("--slot takes a slot number (0, 1, ...), not '" + *slot + "'");
        }
        if (number >= configs.Count()) {
            return {-1, Fail(streams, kCtlRefused,
                             "no configuration in slot " + std::to_string(number) + " (there are " +
                                 std::to_string(configs.Count()) + ")")};
        }
        return {number, kCtlOk};
    }
    const std::string& name = arguments.words[2];
    std::vector<int> slots;
    for (int i = 0; i < configs.Count(); ++i) {
        if (configs.GetItem(i).name == name) {
            slots.push_back(i);
        }
    }
    if (slots.empty()) {
        return {-1, Fail(streams, kCtlRefused, "no configuration named '" + name + "'")};
    }
    if (slots.size() > 1) {
        std::string listed;
        for (const int slot : slots) {
            listed += (listed.empty() ? "" : ", ") + std::to_string(slot);
        }
        return {-1, Fail(streams, kCtlRefused,
                         "several configurations are named '" + name + "' (slots " + listed +
                             "): name one with --slot N")};
    }
    return {slots.front(), kCtlOk};
}

// A configuration is named by a word or by --slot, never both.
void ExpectAddressed(const CtlArguments& arguments, const std::vector<std::string>& options) {
    const bool bySlot = arguments.has("--slot");
    ExpectShape(arguments, bySlot ? 2 : 3, With(options, "--slot"));
}

// An empty folder would be stored as the root folder: the separator alone.
void CheckFields(const CtlArguments& arguments) {
    if (arguments.option("--folder") == "") {
        throw CtlUsageError("--folder takes a folder, not ''");
    }
}

void ApplyFields(lumra::TLumraConfig& config, const CtlArguments& arguments) {
    if (const auto name = arguments.option("--name")) {
        config.name = *name;
    }
    if (const auto dataprovider = arguments.option("--dataprovider")) {
        config.dataprovider = *dataprovider;
    }
    // As the folder picker's choice: absolute, universal, with its trailing separator.
    if (const auto folder = arguments.option("--folder")) {
        config.exportPathBokforing = lumra::UniversalExportFolder(*folder);
    }
    if (const auto file = arguments.option("--file")) {
        config.exportFilename = *file;
    }
}

// The window's rules before "Spara", then the list saved; the write batch is the caller's, and
// the values not written go to notStored.
int Save(lumra::TLumraConfigs& configs, const CtlStreams& streams,
         std::vector<std::string>& notStored) {
    if (const auto refusal = lumra::RefusalBeforeSave(configs)) {
        return Fail(streams, kCtlRefused, refusal->message);
    }
    if (!configs.Save()) {
        return Fail(streams, kCtlStoreFailed, lumra::NothingSavedMessage(configs.SaveProblem()));
    }
    notStored = configs.FailedWrites();
    return kCtlOk;
}

int List(const CtlArguments& arguments, const CtlStreams& streams) {
    ExpectShape(arguments, 2, {});
    lumra::TLumraConfigs configs;
    if (const auto failed = LoadConfigs(configs, streams)) {
        return *failed;
    }
    if (arguments.json) {
        auto list = CtlJson::array();
        for (int i = 0; i < configs.Count(); ++i) {
            list.push_back(ConfigJson(i, configs.GetItem(i)));
        }
        PrintJson(streams, list);
        return kCtlOk;
    }
    for (int i = 0; i < configs.Count(); ++i) {
        PrintConfigLine(streams, i, configs.GetItem(i).name);
    }
    return kCtlOk;
}

int Show(const CtlArguments& arguments, const CtlStreams& streams) {
    ExpectAddressed(arguments, {});
    lumra::TLumraConfigs configs;
    if (const auto failed = LoadConfigs(configs, streams)) {
        return *failed;
    }
    const auto found = Find(configs, arguments, streams);
    if (found.code != kCtlOk) {
        return found.code;
    }
    const auto& config = configs.GetItem(found.index);
    if (arguments.json) {
        PrintJson(streams, ConfigJson(found.index, config));
        return kCtlOk;
    }
    streams.out << "Config-" << found.index << "\n";
    for (const auto field :
         {lumra::ConfigField::Name, lumra::ConfigField::DataProvider,
          lumra::ConfigField::ExportFolder, lumra::ConfigField::ExportFilename}) {
        PrintField(streams, lumra::CaptionOf(field), config.*lumra::MemberOf(field), 2);
    }
    return kCtlOk;
}

// Loads, changes and saves the list in one write batch: others see the old list or the new one.
template <typename Change> int Changed(const CtlStreams& streams, Change change) {
    return InOneWriteBatch(streams, [&](std::vector<std::string>& notStored) {
        lumra::TLumraConfigs configs;
        if (const auto failed = LoadConfigs(configs, streams)) {
            return *failed;
        }
        const int code = change(configs);
        return code == kCtlOk ? Save(configs, streams, notStored) : code;
    });
}

int Add(const CtlArguments& arguments, const CtlStreams& streams) {
    ExpectShape(arguments, 2, kFieldOptions);
    CheckFields(arguments);
    int added = -1;
    const int code = Changed(streams, [&](lumra::TLumraConfigs& configs) {
        ApplyFields(configs.Add(), arguments);
        added = configs.Count() - 1;
        return kCtlOk;
    });
    if (code == kCtlOk) {
        streams.out << added << "\n";
    }
    return code;
}

int Set(const CtlArguments& arguments, const CtlStreams& streams) {
    ExpectAddressed(arguments, kFieldOptions);
    if (arguments.options.size() == (arguments.has("--slot") ? 1U : 0U)) {
        throw CtlUsageError("config set needs at least one of --name, --dataprovider, --folder, "
                            "--file");
    }
    CheckFields(arguments);
    return Changed(streams, [&](lumra::TLumraConfigs& configs) {
        const auto found = Find(configs, arguments, streams);
        if (found.code == kCtlOk) {
            ApplyFields(configs.GetItem(found.index), arguments);
        }
        return found.code;
    });
}

// The later configurations move up one slot, as "Tabort" and "Spara" do.
int Remove(const CtlArguments& arguments, const CtlStreams& streams) {
    ExpectAddressed(arguments, {});
    return Changed(streams, [&](lumra::TLumraConfigs& configs) {
        const auto found = Find(configs, arguments, streams);
        if (found.code == kCtlOk) {
            configs.Delete(found.index);
        }
        return found.code;
    });
}

} // namespace

std::optional<int> LoadConfigs(lumra::TLumraConfigs& configs, const CtlStreams& streams) {
    configs.Load();
    if (!configs.LoadComplete()) {
        return IncompleteRead(streams, configs.LoadProblem());
    }
    return std::nullopt;
}

int ConfigCommand(const CtlArguments& arguments, const CtlStreams& streams) {
    const std::string verb = arguments.words.size() > 1 ? arguments.words[1] : "";
    if (verb == "list") {
        return List(arguments, streams);
    }
    if (verb == "show") {
        return Show(arguments, streams);
    }
    if (verb == "add") {
        return Add(arguments, streams);
    }
    if (verb == "set") {
        return Set(arguments, streams);
    }
    if (verb == "remove") {
        return Remove(arguments, streams);
    }
    throw CtlUsageError(verb.empty() ? "config needs a verb: list, show, add, set or remove"
                                     : "unknown config verb '" + verb + "'");
}
