#include "host/library/vst3_host_objects.h"

#include <algorithm>
#include <cstring>

namespace {

// The one interface an object offers besides FUnknown.
template <typename Interface>
vst3::tresult offer(Interface* self, const vst3::TUID wanted, void** obj) {
    if (!obj) return vst3::kInvalidArgument;
    if (vst3::FUnknown::iid.matches(wanted) || Interface::iid.matches(wanted)) {
        *obj = self;
        return vst3::kResultOk;
    }
    *obj = nullptr;
    return vst3::kNoInterface;
}

}  // namespace

vst3::tresult Vst3MemoryStream::queryInterface(const vst3::TUID wanted, void** obj) {
    return offer<vst3::IBStream>(this, wanted, obj);
}

vst3::tresult Vst3MemoryStream::read(void* buffer, vst3::int32 numBytes,
                                     vst3::int32* numBytesRead) {
    if (numBytesRead) *numBytesRead = 0;
    if (numBytes < 0 || (!buffer && numBytes > 0)) return vst3::kInvalidArgument;
    const size_t available = position < bytes.size() ? bytes.size() - position : 0;
    const size_t count = std::min(available, static_cast<size_t>(numBytes));
    if (count > 0) std::memcpy(buffer, bytes.data() + position, count);
    position += count;
    if (numBytesRead) *numBytesRead = static_cast<vst3::int32>(count);
    return vst3::kResultOk;
}

vst3::tresult Vst3MemoryStream::write(void* buffer, vst3::int32 numBytes,
                                      vst3::int32* numBytesWritten) {
    if (numBytesWritten) *numBytesWritten = 0;
    if (numBytes < 0 || (!buffer && numBytes > 0)) return vst3::kInvalidArgument;
    const size_t count = static_cast<size_t>(numBytes);
    if (bytes.size() < position + count) bytes.resize(position + count);
    if (count > 0) std::memcpy(bytes.data() + position, buffer, count);
    position += count;
    if (numBytesWritten) *numBytesWritten = numBytes;
    return vst3::kResultOk;
}

vst3::tresult Vst3MemoryStream::seek(vst3::int64 pos, vst3::int32 mode, vst3::int64* result) {
    vst3::int64 base = 0;
    if (mode == vst3::IBStream::kIBSeekCur) base = static_cast<vst3::int64>(position);
    else if (mode == vst3::IBStream::kIBSeekEnd) base = static_cast<vst3::int64>(bytes.size());
    else if (mode != vst3::IBStream::kIBSeekSet) return vst3::kInvalidArgument;
    const vst3::int64 target = base + pos;
    if (target < 0) return vst3::kInvalidArgument;
    position = static_cast<size_t>(target);
    if (result) *result = target;
    return vst3::kResultOk;
}

vst3::tresult Vst3MemoryStream::tell(vst3::int64* pos) {
    if (!pos) return vst3::kInvalidArgument;
    *pos = static_cast<vst3::int64>(position);
    return vst3::kResultOk;
}

bool Vst3ParameterQueue::add(int32_t offset, double value) {
    const bool roomy = points.size() < points.capacity();
    points.push_back(Point{offset, value});
    return roomy;
}

vst3::tresult Vst3ParameterQueue::queryInterface(const vst3::TUID wanted, void** obj) {
    return offer<vst3::IParamValueQueue>(this, wanted, obj);
}

vst3::tresult Vst3ParameterQueue::getPoint(vst3::int32 index, vst3::int32& sampleOffset,
                                           vst3::ParamValue& value) {
    if (index < 0 || static_cast<size_t>(index) >= points.size()) return vst3::kInvalidArgument;
    sampleOffset = points[static_cast<size_t>(index)].offset;
    value = points[static_cast<size_t>(index)].value;
    return vst3::kResultOk;
}

vst3::tresult Vst3ParameterQueue::addPoint(vst3::int32 sampleOffset, vst3::ParamValue value,
                                           vst3::int32& index) {
    add(sampleOffset, value);
    index = static_cast<vst3::int32>(points.size() - 1);
    return vst3::kResultOk;
}

Vst3ParameterChanges::Vst3ParameterChanges(size_t parameters, size_t points)
    : pointsEach(points) {
    queues.reserve(parameters);
    for (size_t i = 0; i < parameters; ++i) queues.emplace_back(points);
}

Vst3ParameterQueue* Vst3ParameterChanges::queueFor(vst3::ParamID id, vst3::int32& index) {
    for (size_t i = 0; i < used; ++i) {
        if (queues[i].getParameterId() == id) {
            index = static_cast<vst3::int32>(i);
            return &queues[i];
        }
    }
    if (used == queues.size()) queues.emplace_back(pointsEach);
    queues[used].reset(id);
    index = static_cast<vst3::int32>(used);
    return &queues[used++];
}

void Vst3ParameterChanges::add(vst3::ParamID id, int32_t offset, double value) {
    vst3::int32 index = 0;
    queueFor(id, index)->add(offset, value);
}

vst3::tresult Vst3ParameterChanges::queryInterface(const vst3::TUID wanted, void** obj) {
    return offer<vst3::IParameterChanges>(this, wanted, obj);
}

vst3::IParamValueQueue* Vst3ParameterChanges::getParameterData(vst3::int32 index) {
    if (index < 0 || static_cast<size_t>(index) >= used) return nullptr;
    return &queues[static_cast<size_t>(index)];
}

vst3::IParamValueQueue* Vst3ParameterChanges::addParameterData(const vst3::ParamID& id,
                                                               vst3::int32& index) {
    return queueFor(id, index);
}

vst3::tresult Vst3ComponentHandler::queryInterface(const vst3::TUID wanted, void** obj) {
    return offer<vst3::IComponentHandler>(this, wanted, obj);
}

vst3::tresult Vst3HostApplication::queryInterface(const vst3::TUID wanted, void** obj) {
    return offer<vst3::IHostApplication>(this, wanted, obj);
}

vst3::tresult Vst3HostApplication::getName(vst3::String128 name) {
    if (!name) return vst3::kInvalidArgument;
    const char* ours = "vst2host";
    size_t i = 0;
    for (; ours[i]; ++i) name[i] = static_cast<vst3::TChar>(ours[i]);
    name[i] = 0;
    return vst3::kResultOk;
}

vst3::tresult Vst3HostApplication::createInstance(vst3::TUID, vst3::TUID, void** obj) {
    if (obj) *obj = nullptr;
    return vst3::kNotImplemented;
}
