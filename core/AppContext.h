#pragma once

class Notation;
class OperatorMessages;
class Store;
class NetLink;
class QPrinter;
struct Settings;

// What every window and command works with, owned by the application (or by
// a test) and handed down by reference. Pointers may be null where a caller
// has no such part (a test without instrument, a command without printer).
struct AppContext
{
    Settings &settings;
    const Notation &notation;
    OperatorMessages &messages;
    Store *store = nullptr;     // the open database
    NetLink *link = nullptr;    // the instrument connection
    QPrinter *printer = nullptr; // the printer chosen in the printer set-up
};
