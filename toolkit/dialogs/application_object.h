#pragma once

#include "platform/database_connection.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace vemlo {

// What a component of the application object is; only forms and data modules own connections
// that the toolkit looks after.
enum class ContainerKind { Form, DataModule, Other };

// A form or data module and, in order, the connections it owns directly.
struct TContainer {
    TContainer(std::string name, ContainerKind kind)
        : Name(std::move(name))
        , Kind(kind) {}

    std::string Name;
    ContainerKind Kind;
    std::vector<std::unique_ptr<platform::TADOConnection>> Connections;
};

// The application object: its forms and data modules, in the order it owns them.
struct TApplicationObject {
    std::vector<std::unique_ptr<TContainer>> Components;

    TContainer& add(std::string name, ContainerKind kind) {
        return *Components.emplace_back(std::make_unique<TContainer>(std::move(name), kind));
    }
};

} // namespace vemlo
