#pragma once

#include "toolkit/settings/registry.h"

#include <iosfwd>
#include <string>
#include <string_view>

// vemlo-reg export: the key and everything below it, in the format of vemlo-reg/reg_file.h, read in
// one read batch. An exit code of vemlo-reg.
int ExportKey(vemlo::RegRoot root, const std::string& key, std::ostream& out, std::ostream& err);

// vemlo-reg import: checks the whole text first (a message with the line number, nothing
// written), then writes it in one write batch, all or nothing. Adds and overwrites; deletes
// nothing. fileName names the input in messages.
int ImportText(vemlo::RegRoot root, std::string_view text, const std::string& fileName,
               std::ostream& err);
