#pragma once

#include <QObject>
#include <functional>

// Runs one event handler. An error it throws is shown by the application's default handler right
// here, at the edge, so it never travels through Qt's signal and event frames.
void RunGuarded(const std::function<void()>& handler);

// Connects a signal to a handler of the receiver, run through RunGuarded. The handler takes no
// arguments: it reads what it needs from the controls, as the window's handlers do.
template <typename Sender, typename Signal, typename Receiver>
QMetaObject::Connection ConnectGuarded(Sender* sender, Signal signal, Receiver* receiver,
                                       void (Receiver::*handler)()) {
    return QObject::connect(sender, signal, receiver,
                            [receiver, handler] { RunGuarded([&] { (receiver->*handler)(); }); });
}
