#pragma once

#include "ctl/ctl_output.h"

#include <functional>
#include <string>
#include <vector>

// Runs change in one write batch of the machine hive, so that what it reads and what it writes
// are one state of the store: nobody writes between, and others see all of it or nothing. A
// change that does not give kCtlOk, or throws, stores nothing; a batch that could not begin or
// be stored is a store failure. Values that the change could not write, which it lists as
// "Key\Value" in notStored, are named after the others have been stored (exit code 3), as the
// window's "Spara" names them.
int InOneWriteBatch(const CtlStreams& streams,
                    const std::function<int(std::vector<std::string>& notStored)>& change);
