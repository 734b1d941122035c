#pragma once

#include <QObject>
#include <functional>

namespace vemlo {

// Runs one event handler. An error it throws is shown in the application's error box right here,
// at the edge, so it never travels through Qt's signal and event frames.
void RunGuarded(const std::function<void()>& handler);

// Connects a signal to a handler of the receiver, run through RunGuarded. The handler takes no
// arguments: it reads what it needs from the controls, as the forms' handlers do.
template <typename Sender, typename Signal, typename Receiver>
QMetaObject::Connection ConnectGuarded(Sender* sender, Signal signal, Receiver* receiver,
                                       void (Receiver::*handler)()) {
    return QObject::connect(sender, signal, receiver,
                            [receiver, handler] { RunGuarded([&] { (receiver->*handler)(); }); });
}

} // namespace vemlo
