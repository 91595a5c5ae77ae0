#pragma once
// What the wheel stores against what it was last sent to show. A preview
// (a colour pick, an imported profile, a slider move) changes what the wheel
// shows but not what it keeps: a preview that differs from the stored setting
// is unsaved, and is lost when the wheel restarts. The paddle page can also
// hold a setting that the wheel neither stores nor shows: toggling combined
// mode sends nothing until the slider moves or the setting is stored. The
// window feeds this with every read of the stored settings, every preview that
// went through, every store the wheel kept and what the paddle page holds, and
// asks it what to mark and what to ask on closing.
//
// Colours are compared at the wheel's 4-bit levels, so a colour picked at a
// level the wheel already stores is not unsaved. The paddle value is compared
// as a setting: every value above the highest bite point means off.

#include "device/leds.h"

#include <cstdint>
#include <optional>

namespace vorla {

class UnsavedChanges
{
public:
    // The wheel's stored settings as read (start-up, reconnect, after an
    // upload): the wheel shows them, nothing is unsaved. Only the channel
    // bytes of the block count.
    void read(const std::uint8_t *ledBlock, std::uint8_t paddle);

    // A store the wheel kept, or what a check after a store found: the wheel
    // stores (and shows) this now.
    void ledsStored(const LedBlock &block);
    void paddleStored(std::uint8_t value);

    // A preview went through: the wheel shows this now.
    void ledsPreviewed(const LedBlock &block);
    void paddlePreviewed(std::uint8_t value);

    // What the paddle page holds now: the value a store would write.
    void paddleOnPage(std::uint8_t value);

    // The wheel is gone: when it comes back it shows what it stores, and it is
    // read again then. Until that read nothing is unsaved.
    void wheelLeft();

    bool ledsUnsaved() const;
    // The wheel shows a paddle setting that it does not store.
    bool paddleShownUnsaved() const;
    // That, or the paddle page holds a setting that the wheel does not store.
    bool paddleUnsaved() const;
    bool anyUnsaved() const { return ledsUnsaved() || paddleUnsaved(); }

    // What sets the wheel back to its stored settings: the stored block as a
    // preview (commit byte kLedCommitPreview, bytes 39-52 zero), and the stored
    // paddle value.
    LedBlock storedLedPreview() const;
    std::uint8_t storedPaddle() const { return stored.paddle; }

private:
    struct Settings {
        LedBlock leds{};
        std::uint8_t paddle = 0;
    };
    Settings stored;
    bool known = false; // stored holds what the wheel was read with
    std::optional<LedBlock> previewedLeds;
    std::optional<std::uint8_t> previewedPaddle;
    std::optional<std::uint8_t> pagePaddle; // empty: the page shows what was read
};

} // namespace vorla
