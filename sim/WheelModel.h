#pragma once
// Inside of the simulated wheel, shared by its control API and its hidapi
// functions. Everything is guarded by `mutex`.

#include "sim/SimWheel.h"

#include <hidapi.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

// hidapi leaves its device type opaque; this is the simulated one.
struct hid_device_ {
    std::uint64_t generation = 0; // the wheel's life this handle was opened in
    std::wstring error;
    std::atomic<int> callsInFlight{0};
    bool settingsCollection = true; // the interface that answers the wheel's reports
};

namespace sim {

using Clock = std::chrono::steady_clock;

class WheelModel {
public:
    WheelModel();
    ~WheelModel();

    std::mutex mutex;

    // Settings.
    vorla::LedBlock storedLeds{}, shownLeds{};
    std::uint8_t storedPaddle = 0, shownPaddle = 0;
    std::string versionText;
    std::vector<std::uint8_t> image;
    int firmwareWrites = 0;
    bool forgetStores = false; // store reports are accepted and shown, not kept

    // Reports under way.
    int pendingSelector = -1;
    vorla::LedBlock ledPending{};
    std::size_t nextLedChunk = 0;
    std::vector<std::uint8_t> incoming;
    int nextFirmwareChunk = 0;
    bool lastChunkShort = false;

    // Presence.
    bool present = true;
    std::uint64_t generation = 0;
    std::chrono::steady_clock::time_point rebootUntil{};
    std::chrono::milliseconds rebootDuration{2000};
    int opens = 0;
    int lookups = 0; // hid_enumerate calls
    bool permissionDenied = false;
    std::size_t featureLength = 0; // Windows' feature report length; 0: any
    int collections = 1;
    std::function<void(bool)> presenceListener;

    // Plug and unplug events at a time, carried out by the wheel's own clock
    // (a thread that sleeps until the next one).
    struct Timed {
        Clock::time_point when;
        PlugEvent event;
    };
    std::vector<Timed> timed;
    std::condition_variable timedChanged;
    std::thread clock;
    bool stopping = false;
    std::chrono::milliseconds returnAfterVanish{-1};

    // Faults and the record.
    int calls = 0;
    int failAt = -1;
    bool failOnwards = false;
    int vanishAt = -1;
    std::chrono::microseconds latency{0};
    std::vector<ReceivedReport> record;
    std::vector<std::string> violationList;
    std::string persistPath;
    bool persistWarned = false;

    void resetLocked();
    void resetStreamsLocked();
    bool availableLocked();
    void unplugLocked();
    // Plugs in or pulls out, and tells the listener when that changed anything.
    void setPresentLocked(bool present);
    void applyLocked(PlugEvent event);
    void scheduleLocked(Clock::time_point when, PlugEvent event);
    void runClock();
    // Writes the state file; returns why it could not be written, or "".
    std::string persistLocked();
    // Says `what` on standard error, once per enablePersistence.
    void warnLocked(const std::string &what);

    // Fails a call and records why it broke the protocol.
    int violate(hid_device *dev, const std::string &why);
    // Fails a call for a reason that is no protocol violation.
    int fail(hid_device *dev, const std::string &why);

    int featureSend(hid_device *dev, const std::uint8_t *data, std::size_t length);
    int featureGet(hid_device *dev, std::uint8_t *data, std::size_t length);
    int output(hid_device *dev, const std::uint8_t *data, std::size_t length);

private:
    int paddle(hid_device *dev, const std::uint8_t *data);
    int firmwareData(hid_device *dev, const std::uint8_t *data);
    int firmwareFinish(hid_device *dev);
};

WheelModel &model();

} // namespace sim
