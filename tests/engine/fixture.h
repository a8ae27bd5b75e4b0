// Shared helpers of the engine tests: a temporary folder with literal files,
// and a callback table that records every call in order.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "OrmidYRB100.h"

namespace fx {

class TempDir {
public:
    TempDir();
    ~TempDir();
    std::string Write(const std::string& name, const std::string& bytes) const;
    std::string Path(const std::string& name) const;
    std::string Read(const std::string& name) const;
    // The bytes of the file, or nothing when there is no such file.
    std::optional<std::string> ReadIfExists(const std::string& name) const;

private:
    std::filesystem::path dir_;
};

struct Event {
    char kind;  // 'E' error, 'P' progress, 'C' check, 'I' info, 'S' init, 'A' animate
    std::string text;
    int32_t value;
};

// One recorder at a time; its table is what the engine calls.
class Recorder {
public:
    Recorder();
    ~Recorder();
    const YRB_CallbackTable* Table() const { return &table_; }
    void Register() const { YRB07(&table_); }

    std::vector<Event> events;
    // Answer of the check-interrupt slot; called with the number of checks so far.
    std::function<int32_t(int)> onCheck;
    std::function<void()> onInfo;  // runs inside the information callback
    // Runs inside every callback but the error slot, with the event's kind,
    // after onCheck and onInfo.
    std::function<void(char)> onEvent;
    int checks = 0;

    std::vector<std::string> Texts(char kind) const;
    std::vector<int32_t> Values(char kind) const;
    size_t Count(char kind) const;

private:
    YRB_CallbackTable table_{};
};

// Clears the engine: all lists freed and an empty table registered.  The
// poll counters carry over; tests that count polls set them first.
void ResetEngine();

std::vector<std::string> Entries(int32_t slot, int32_t part);

}  // namespace fx
