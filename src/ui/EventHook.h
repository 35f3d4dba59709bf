#pragma once

#include <QObject>

#include <functional>
#include <utility>

// Shows a routine the events of another object, or of the whole application when installed on
// it, before they are delivered. The routine returns true for an event it has handled, which is
// then not delivered. The hook ends with its parent.
class EventHook : public QObject {
public:
    using Handler = std::function<bool(QObject* watched, QEvent* event)>;

    EventHook(QObject* parent, Handler handler) : QObject(parent), handler(std::move(handler)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override { return handler(watched, event); }

private:
    Handler handler;
};
