#include "sim/SimWheel.h"

#include "sim/StateFile.h"
#include "sim/WheelModel.h"

#include "device/firmware.h"
#include "device/paddle.h"

#include <algorithm>
#include <cstdio>

namespace sim {

using Clock = std::chrono::steady_clock;
using vorla::LedBlock;

namespace {

constexpr const char *kVersionTag = "VORLA-FW:";
constexpr std::size_t kVersionCapacity = vorla::kReportSize - vorla::kResponseVersionOffset;

} // namespace

WheelModel &model()
{
    static WheelModel instance;
    return instance;
}

WheelModel::WheelModel()
{
    resetLocked();
}

WheelModel::~WheelModel()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    timedChanged.notify_all();
    if (clock.joinable())
        clock.join();
}

void WheelModel::resetLocked()
{
    storedLeds = defaultLedBlock();
    shownLeds = storedLeds;
    storedPaddle = kDefaultPaddle;
    shownPaddle = storedPaddle;
    versionText = kDefaultVersion;
    image.clear();
    firmwareWrites = 0;
    forgetStores = false;
    resetStreamsLocked();
    present = true;
    permissionDenied = false;
    featureLength = 0;
    collections = 1;
    timed.clear();
    returnAfterVanish = std::chrono::milliseconds(-1);
    ++generation;
    rebootUntil = Clock::time_point{};
    rebootDuration = std::chrono::milliseconds(2000);
    opens = 0;
    lookups = 0;
    calls = 0;
    failAt = -1;
    failOnwards = false;
    vanishAt = -1;
    latency = std::chrono::microseconds(0);
    record.clear();
    violationList.clear();
    persistPath.clear();
    persistWarned = false;
}

void WheelModel::resetStreamsLocked()
{
    pendingSelector = -1;
    ledPending = LedBlock{};
    nextLedChunk = 0;
    incoming.clear();
    nextFirmwareChunk = 0;
    lastChunkShort = false;
}

bool WheelModel::availableLocked()
{
    if (rebootUntil != Clock::time_point{} && Clock::now() >= rebootUntil)
        rebootUntil = Clock::time_point{};
    return present && rebootUntil == Clock::time_point{};
}

void WheelModel::unplugLocked()
{
    // Without power it forgets its previews: plugged in again, it shows what it stores.
    shownLeds = storedLeds;
    shownPaddle = storedPaddle;
    present = false;
    ++generation;
    resetStreamsLocked();
}

void WheelModel::setPresentLocked(bool nowPresent)
{
    const bool was = present;
    if (!nowPresent)
        unplugLocked();
    present = nowPresent;
    if (was != nowPresent && presenceListener)
        presenceListener(nowPresent);
}

void WheelModel::applyLocked(PlugEvent event)
{
    switch (event) {
    case PlugEvent::Unplug:
        setPresentLocked(false);
        break;
    case PlugEvent::Plug:
        setPresentLocked(true);
        break;
    case PlugEvent::Deny:
        permissionDenied = true;
        break;
    case PlugEvent::Allow:
        permissionDenied = false;
        if (present && presenceListener)
            presenceListener(true); // seen anew, now that it may be opened
        break;
    case PlugEvent::ForgetStores:
    case PlugEvent::KeepStores:
        forgetStores = event == PlugEvent::ForgetStores;
        break;
    }
}

void WheelModel::scheduleLocked(Clock::time_point when, PlugEvent event)
{
    timed.push_back({when, event});
    if (!clock.joinable())
        clock = std::thread([this] { runClock(); });
    timedChanged.notify_all();
}

void WheelModel::runClock()
{
    std::unique_lock<std::mutex> lock(mutex);
    while (!stopping) {
        if (timed.empty()) {
            timedChanged.wait(lock);
            continue;
        }
        // The earliest first; events due at the same time in the order given.
        const auto next = std::min_element(timed.begin(), timed.end(),
                                           [](const Timed &a, const Timed &b) { return a.when < b.when; });
        if (Clock::now() < next->when) {
            // A copy: while this waits, schedule() may grow the list and move
            // the element, and the wait reads its deadline again on waking.
            const Clock::time_point when = next->when;
            timedChanged.wait_until(lock, when);
            continue;
        }
        const PlugEvent event = next->event;
        timed.erase(next);
        applyLocked(event);
    }
}

int WheelModel::violate(hid_device *dev, const std::string &why)
{
    violationList.push_back(why);
    dev->error = std::wstring(why.begin(), why.end());
    return -1;
}

int WheelModel::fail(hid_device *dev, const std::string &why)
{
    dev->error = std::wstring(why.begin(), why.end());
    return -1;
}

void WheelModel::warnLocked(const std::string &what)
{
    if (persistWarned)
        return;
    persistWarned = true;
    std::fprintf(stderr, "vorla-setting-sim: %s\n", what.c_str());
}

std::string WheelModel::persistLocked()
{
    if (persistPath.empty())
        return std::string();
    // A wheel does not report flash wear either: a store that could not be
    // kept still succeeds, but the demo says so once.
    const std::string error = writeStateFile(persistPath, encodeState({storedLeds, storedPaddle, versionText}));
    if (!error.empty())
        warnLocked("stored settings will not be kept: " + error);
    return error;
}

// --- reports ---------------------------------------------------------------

int WheelModel::featureSend(hid_device *dev, const std::uint8_t *data, std::size_t length)
{
    if (length != vorla::kReportSize)
        return violate(dev, "feature report of " + std::to_string(length) + " bytes, not 20");
    if (data[0] != vorla::kFeatureReportId)
        return violate(dev, "feature report with report id " + std::to_string(data[0]));

    const std::uint8_t command = data[1];
    const bool firmwareReport = vorla::isFirmwareData(command) || command == vorla::kCmdFirmwareFinish;
    if (!firmwareReport && nextFirmwareChunk > 0)
        return violate(dev, "report interleaved with the firmware stream");

    if (command == vorla::kCmdQuery) {
        const std::uint8_t selector = data[vorla::kQuerySelectorByte];
        if (selector >= vorla::kLedChunkCount && selector != vorla::kSelectorPaddle
            && selector != vorla::kSelectorVersion)
            return violate(dev, "unknown query selector " + std::to_string(selector));
        pendingSelector = selector;
        return int(length);
    }
    if (command == vorla::kCmdPaddle)
        return paddle(dev, data);
    if (vorla::isFirmwareData(command))
        return firmwareData(dev, data);
    if (command == vorla::kCmdFirmwareFinish)
        return firmwareFinish(dev);
    return violate(dev, "unknown command " + std::to_string(command));
}

int WheelModel::paddle(hid_device *dev, const std::uint8_t *data)
{
    if (std::any_of(data + vorla::kPaddleCommitByte + 1, data + vorla::kReportSize, [](auto b) { return b != 0; }))
        return violate(dev, "paddle report with non-zero bytes 4-19");
    const std::uint8_t value = data[vorla::kPaddleValueByte];
    switch (data[vorla::kPaddleCommitByte]) {
    case vorla::kPaddleCommitStore:
        shownPaddle = value;
        if (!forgetStores) {
            storedPaddle = value;
            persistLocked();
        }
        break;
    case vorla::kPaddleCommitPreview:
        shownPaddle = value;
        break;
    default:
        return violate(dev, "paddle report with unknown marker " + std::to_string(data[vorla::kPaddleCommitByte]));
    }
    return int(vorla::kReportSize);
}

int WheelModel::firmwareData(hid_device *dev, const std::uint8_t *data)
{
    const int chunk = vorla::firmwareChunkNumber(data);
    const std::size_t length = data[vorla::kFirmwareLengthByte];
    if (length < 1 || length > vorla::kFirmwareChunkSize)
        return violate(dev, "firmware chunk with length " + std::to_string(length));
    if (chunk != nextFirmwareChunk)
        return violate(dev, "firmware chunk " + std::to_string(chunk) + " where "
                                + std::to_string(nextFirmwareChunk) + " was due");
    if (lastChunkShort)
        return violate(dev, "firmware chunk after a short one");
    if (incoming.size() + length > std::size_t(vorla::kMaxFirmwareSize))
        return violate(dev, "firmware image larger than the wheel's flash");
    incoming.insert(incoming.end(), data + vorla::kFirmwareDataOffset, data + vorla::kFirmwareDataOffset + length);
    ++nextFirmwareChunk;
    lastChunkShort = length < vorla::kFirmwareChunkSize;
    return int(vorla::kReportSize);
}

int WheelModel::firmwareFinish(hid_device *)
{
    // A finish with no data writes nothing, but the wheel still restarts.
    if (!incoming.empty()) {
        image = incoming;
        ++firmwareWrites;
        const std::string tag(kVersionTag);
        const auto found = std::search(image.begin(), image.end(), tag.begin(), tag.end());
        if (found != image.end()) {
            std::string text;
            for (auto it = found + tag.size(); it != image.end() && *it >= 0x20 && *it < 0x7F
                                               && text.size() < kVersionCapacity; ++it)
                text.push_back(char(*it));
            if (!text.empty())
                versionText = text;
        }
        persistLocked();
    }
    resetStreamsLocked();
    ++generation; // the wheel restarts: open handles die
    rebootUntil = Clock::now() + rebootDuration;
    return int(vorla::kReportSize);
}

int WheelModel::featureGet(hid_device *dev, std::uint8_t *data, std::size_t length)
{
    if (length < std::max(vorla::kReportSize, featureLength))
        return violate(dev, "feature read of " + std::to_string(length) + " bytes, shorter than a report");
    if (data[0] != vorla::kFeatureReportId)
        return violate(dev, "feature read with report id " + std::to_string(data[0]));
    if (pendingSelector < 0)
        return violate(dev, "feature read without a query");

    const int selector = pendingSelector;
    pendingSelector = -1;
    const std::size_t answered = std::max(vorla::kReportSize, featureLength);
    std::fill(data + 1, data + answered, 0);
    if (selector == vorla::kSelectorVersion) {
        std::copy_n(versionText.begin(), std::min(versionText.size(), kVersionCapacity),
                    data + vorla::kResponseVersionOffset);
    } else if (selector == vorla::kSelectorPaddle) {
        data[1] = vorla::kCmdQuery;
        data[vorla::kResponsePaddleOffset] = storedPaddle;
    } else {
        data[1] = vorla::kCmdQuery;
        std::copy_n(storedLeds.begin() + vorla::kLedChunkSize * selector, vorla::kLedChunkSize,
                    data + vorla::kResponseLedSliceOffset);
    }
    return int(answered);
}

int WheelModel::output(hid_device *dev, const std::uint8_t *data, std::size_t length)
{
    if (length != vorla::kReportSize)
        return violate(dev, "output report of " + std::to_string(length) + " bytes, not 20");
    if (data[0] != vorla::kLedReportId)
        return violate(dev, "output report with report id " + std::to_string(data[0]));
    if (nextFirmwareChunk > 0)
        return violate(dev, "report interleaved with the firmware stream");
    const std::size_t chunk = data[1];
    if (chunk == 0)
        nextLedChunk = 0; // chunk 0 always begins a new block
    if (chunk != nextLedChunk) {
        const std::string why = "LED chunk " + std::to_string(chunk) + " where " + std::to_string(nextLedChunk) + " was due";
        nextLedChunk = 0;
        return violate(dev, why);
    }
    std::copy_n(data + 2, vorla::kLedChunkSize, ledPending.begin() + vorla::kLedChunkSize * chunk);
    if (++nextLedChunk < vorla::kLedChunkCount)
        return int(length);

    nextLedChunk = 0;
    if (std::any_of(ledPending.begin() + vorla::kLedChannelBytes, ledPending.begin() + vorla::kLedCommitByte,
                    [](auto b) { return b != 0; }))
        return violate(dev, "LED block with non-zero bytes 39-52");
    switch (ledPending[vorla::kLedCommitByte]) {
    case vorla::kLedCommitStore:
        shownLeds = ledPending;
        if (!forgetStores) {
            storedLeds = ledPending;
            persistLocked();
        }
        break;
    case vorla::kLedCommitPreview:
        shownLeds = ledPending;
        break;
    default:
        return violate(dev, "LED block with unknown commit byte " + std::to_string(ledPending[vorla::kLedCommitByte]));
    }
    return int(length);
}

// --- control API -----------------------------------------------------------

LedBlock defaultLedBlock()
{
    // Cool blue buttons, cyan rotaries, amber grip controls.
    vorla::LedColors colours{};
    for (std::size_t slot = 0; slot < vorla::kLedCount; ++slot) {
        if (slot < 12)
            colours[slot] = {0, 126, 255};
        else if (slot < 24)
            colours[slot] = {0, 226, 199};
        else
            colours[slot] = {255, 149, 0};
    }
    return vorla::packLedBlock(colours, true);
}

namespace {

// Runs `f` on the model under its lock.
template <typename F>
auto locked(F f)
{
    std::lock_guard<std::mutex> lock(model().mutex);
    return f(model());
}

} // namespace

void reset() { locked([](WheelModel &m) { m.resetLocked(); }); }
void setStoredLeds(const LedBlock &block) { locked([&](WheelModel &m) { m.storedLeds = m.shownLeds = block; }); }
LedBlock storedLeds() { return locked([](WheelModel &m) { return m.storedLeds; }); }
void setStoredPaddle(std::uint8_t value) { locked([&](WheelModel &m) { m.storedPaddle = m.shownPaddle = value; }); }
std::uint8_t storedPaddle() { return locked([](WheelModel &m) { return m.storedPaddle; }); }
void setVersion(const std::string &text) { locked([&](WheelModel &m) { m.versionText = text.substr(0, kVersionCapacity); }); }
std::string version() { return locked([](WheelModel &m) { return m.versionText; }); }
LedBlock shownLeds() { return locked([](WheelModel &m) { return m.shownLeds; }); }
std::uint8_t shownPaddle() { return locked([](WheelModel &m) { return m.shownPaddle; }); }
std::vector<std::uint8_t> firmwareImage() { return locked([](WheelModel &m) { return m.image; }); }
int firmwareWrites() { return locked([](WheelModel &m) { return m.firmwareWrites; }); }
void setRebootDuration(std::chrono::milliseconds duration) { locked([&](WheelModel &m) { m.rebootDuration = duration; }); }
bool rebooting() { return locked([](WheelModel &m) { return m.present && !m.availableLocked(); }); }
void setPresent(bool present) { locked([&](WheelModel &m) { m.setPresentLocked(present); }); }
bool present() { return locked([](WheelModel &m) { return m.present; }); }
int openCount() { return locked([](WheelModel &m) { return m.opens; }); }
int lookupCount() { return locked([](WheelModel &m) { return m.lookups; }); }
void setPermissionDenied(bool denied) { locked([&](WheelModel &m) { m.permissionDenied = denied; }); }
std::size_t featureReportLength(const char *) { return locked([](WheelModel &m) { return m.featureLength; }); }
void setWindowsHid(std::size_t featureLength, int collections)
{
    locked([&](WheelModel &m) {
        m.featureLength = featureLength;
        m.collections = std::max(collections, 1);
    });
}
void setPresenceListener(std::function<void(bool)> listener)
{
    locked([&](WheelModel &m) { m.presenceListener = std::move(listener); });
}
void schedule(std::chrono::milliseconds after, PlugEvent event)
{
    locked([&](WheelModel &m) {
        // Due now: done before the program's first report, not whenever the
        // wheel's clock thread gets to it.
        if (after.count() <= 0)
            m.applyLocked(event);
        else
            m.scheduleLocked(Clock::now() + after, event);
    });
}
void failReport(int n, bool fromThenOn)
{
    locked([&](WheelModel &m) {
        m.failAt = n;
        m.failOnwards = fromThenOn;
    });
}
void vanishAtReport(int n, std::chrono::milliseconds returnAfter)
{
    locked([&](WheelModel &m) {
        m.vanishAt = n;
        m.returnAfterVanish = returnAfter;
    });
}
void setForgetStores(bool forget) { locked([&](WheelModel &m) { m.forgetStores = forget; }); }
void setReportLatency(std::chrono::microseconds latency) { locked([&](WheelModel &m) { m.latency = latency; }); }
std::vector<ReceivedReport> received() { return locked([](WheelModel &m) { return m.record; }); }
std::vector<std::vector<std::uint8_t>> received(ReportKind kind)
{
    return locked([&](WheelModel &m) {
        std::vector<std::vector<std::uint8_t>> bytes;
        for (const auto &report : m.record)
            if (report.kind == kind)
                bytes.push_back(report.bytes);
        return bytes;
    });
}
void clearReceived() { locked([](WheelModel &m) { m.record.clear(); }); }
std::vector<std::string> violations() { return locked([](WheelModel &m) { return m.violationList; }); }
std::string enablePersistence(const std::string &path)
{
    return locked([&](WheelModel &m) {
        m.persistPath.clear();
        m.persistWarned = false;
        const StateFileRead file = readStateFile(path);
        if (!file.error.empty()) {
            // Nothing there can be used: the wheel stays in memory.
            m.warnLocked("stored settings will not be kept: " + file.error);
            return file.error;
        }
        m.persistPath = path;
        if (file.exists) {
            if (const std::optional<StoredState> state = decodeState(file.text)) {
                m.storedLeds = m.shownLeds = state->leds;
                m.storedPaddle = m.shownPaddle = state->paddle;
                m.versionText = state->version.substr(0, kVersionCapacity);
            } else {
                m.warnLocked("stored settings could not be loaded: " + path + ": damaged; starting with the factory settings");
            }
        }
        // Written at once: a place that cannot keep the settings is told now,
        // not at the first store, and a damaged file is replaced.
        return m.persistLocked();
    });
}

} // namespace sim
