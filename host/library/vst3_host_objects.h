// The objects a VST3 host hands its plug-ins: a stream over memory for
// their state, the parameter changes of a block, and the host application
// given at initialisation. Each lives as long as its owner in the host; the
// counts the plug-in adds and releases never delete them.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "vst3/vst3_interface.h"

// A stream over bytes in memory, read and written from one position.
class Vst3MemoryStream final : public vst3::IBStream {
public:
    Vst3MemoryStream() = default;
    explicit Vst3MemoryStream(std::vector<uint8_t> contents) : bytes(std::move(contents)) {}

    const std::vector<uint8_t>& contents() const { return bytes; }
    void rewind() { position = 0; }

    vst3::tresult VST3_CALL queryInterface(const vst3::TUID wanted, void** obj) override;
    vst3::uint32 VST3_CALL addRef() override { return 1; }
    vst3::uint32 VST3_CALL release() override { return 1; }
    vst3::tresult VST3_CALL read(void* buffer, vst3::int32 numBytes,
                                 vst3::int32* numBytesRead) override;
    vst3::tresult VST3_CALL write(void* buffer, vst3::int32 numBytes,
                                  vst3::int32* numBytesWritten) override;
    vst3::tresult VST3_CALL seek(vst3::int64 pos, vst3::int32 mode, vst3::int64* result) override;
    vst3::tresult VST3_CALL tell(vst3::int64* pos) override;

private:
    std::vector<uint8_t> bytes;
    size_t position = 0;
};

// The points of one parameter within a block. Its room is made beforehand,
// so that adding points during a render allocates nothing.
class Vst3ParameterQueue final : public vst3::IParamValueQueue {
public:
    explicit Vst3ParameterQueue(size_t room) { points.reserve(room); }
    void reset(vst3::ParamID parameter) {
        id = parameter;
        points.clear();
    }
    // Adds a point beyond the queue's room too; false when the room was
    // exceeded (and memory taken).
    bool add(int32_t offset, double value);

    vst3::tresult VST3_CALL queryInterface(const vst3::TUID wanted, void** obj) override;
    vst3::uint32 VST3_CALL addRef() override { return 1; }
    vst3::uint32 VST3_CALL release() override { return 1; }
    vst3::ParamID VST3_CALL getParameterId() override { return id; }
    vst3::int32 VST3_CALL getPointCount() override {
        return static_cast<vst3::int32>(points.size());
    }
    vst3::tresult VST3_CALL getPoint(vst3::int32 index, vst3::int32& sampleOffset,
                                     vst3::ParamValue& value) override;
    vst3::tresult VST3_CALL addPoint(vst3::int32 sampleOffset, vst3::ParamValue value,
                                     vst3::int32& index) override;

private:
    struct Point {
        int32_t offset;
        double value;
    };
    vst3::ParamID id = 0;
    std::vector<Point> points;
};

// All parameter changes of one block: a queue per parameter that changes.
class Vst3ParameterChanges final : public vst3::IParameterChanges {
public:
    // Room for `parameters` queues of `pointsEach` points.
    Vst3ParameterChanges(size_t parameters, size_t pointsEach);
    void clear() { used = 0; }
    bool empty() const { return used == 0; }
    // The parameter's value from `offset` on; a queue for it is opened if
    // the block has none yet.
    void add(vst3::ParamID id, int32_t offset, double value);

    vst3::tresult VST3_CALL queryInterface(const vst3::TUID wanted, void** obj) override;
    vst3::uint32 VST3_CALL addRef() override { return 1; }
    vst3::uint32 VST3_CALL release() override { return 1; }
    vst3::int32 VST3_CALL getParameterCount() override { return static_cast<vst3::int32>(used); }
    vst3::IParamValueQueue* VST3_CALL getParameterData(vst3::int32 index) override;
    vst3::IParamValueQueue* VST3_CALL addParameterData(const vst3::ParamID& id,
                                                       vst3::int32& index) override;

private:
    Vst3ParameterQueue* queueFor(vst3::ParamID id, vst3::int32& index);

    std::vector<Vst3ParameterQueue> queues;
    size_t used = 0;
    size_t pointsEach;
};

// What the controller tells the host: edits (which an offline render has
// no one to pass to) and requests to restart, kept until the host asks.
class Vst3ComponentHandler final : public vst3::IComponentHandler {
public:
    // The restart flags asked for since the last call.
    int32_t takeRestart() { return restart.exchange(0); }

    vst3::tresult VST3_CALL queryInterface(const vst3::TUID wanted, void** obj) override;
    vst3::uint32 VST3_CALL addRef() override { return 1; }
    vst3::uint32 VST3_CALL release() override { return 1; }
    vst3::tresult VST3_CALL beginEdit(vst3::ParamID) override { return vst3::kResultOk; }
    vst3::tresult VST3_CALL performEdit(vst3::ParamID, vst3::ParamValue) override {
        return vst3::kResultOk;
    }
    vst3::tresult VST3_CALL endEdit(vst3::ParamID) override { return vst3::kResultOk; }
    vst3::tresult VST3_CALL restartComponent(vst3::int32 flags) override {
        restart.fetch_or(flags);
        return vst3::kResultOk;
    }

private:
    std::atomic<int32_t> restart{0};
};

// The host as a plug-in sees it at initialisation: its name, and no objects
// to make.
class Vst3HostApplication final : public vst3::IHostApplication {
public:
    vst3::tresult VST3_CALL queryInterface(const vst3::TUID wanted, void** obj) override;
    vst3::uint32 VST3_CALL addRef() override { return 1; }
    vst3::uint32 VST3_CALL release() override { return 1; }
    vst3::tresult VST3_CALL getName(vst3::String128 name) override;
    vst3::tresult VST3_CALL createInstance(vst3::TUID, vst3::TUID, void** obj) override;
};
