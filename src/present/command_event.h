#pragma once
// Windows of the program command the editor by posting it an event that
// carries a fixed 32-bit command number; the editor carries them out in one
// dispatcher. The numbers are fixed: other windows and the editor must agree
// on them, so they are never renumbered.

#include <QEvent>
#include <cstdint>

class QObject;

namespace melnix {

// Commands of the presentation windows.
constexpr uint32_t cmdTogglePause = 0x74F53C82;    // 1962228866
constexpr uint32_t cmdRestartSong = 0x76023F7B;    // 1979858811
constexpr uint32_t cmdChooseSong = 0x728D3CFB;     // 1921858811
constexpr uint32_t cmdSubtitleFont = 0x42DE78F3;   // 1121876211
constexpr uint32_t cmdBackToEditor = 0x42DEAA2B;   // 1121888811
constexpr uint32_t cmdExit = 0x42DE34FB;           // 1121858811
constexpr uint32_t cmdEscape = 0x470A527B;         // 1191858811
constexpr uint32_t cmdVolumeUp = 0x42DE9F9F;       // 1121886111
constexpr uint32_t cmdVolumeDown = 0x42DEA003;     // 1121886211
constexpr uint32_t cmdOtherPictures = 0x42EDECB1;  // 1122888881
constexpr uint32_t cmdWindowSize = 0x75882D7B;     // 1971858811
constexpr uint32_t cmdWindowMoved = 0x42DED57D;    // 1121899901 (sent, not posted)

class CommandEvent : public QEvent {
public:
    explicit CommandEvent(uint32_t commandId) : QEvent(eventType()), commandId_(commandId) {}

    uint32_t commandId() const { return commandId_; }

    // Registered once per process.
    static QEvent::Type eventType();

private:
    uint32_t commandId_;
};

// Queues the command for target; it runs after the current event.
void postCommand(QObject* target, uint32_t commandId);
// Runs the command in target now; returns whether target handled it.
bool sendCommand(QObject* target, uint32_t commandId);

}  // namespace melnix
