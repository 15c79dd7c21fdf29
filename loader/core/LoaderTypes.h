// What the loader's download logic needs from the window and from the serial
// link: two small interfaces, so that the logic runs without a display and
// tests can answer the boxes and play the board.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

enum class TMsgIcon { None, Warning, Stop, Information };

// The window side: message boxes, the progress display and the message loop.
class TLoaderUi {
public:
    virtual ~TLoaderUi() = default;
    // An OK box with the given icon (None for a simple box).
    virtual void ShowMessage(const std::string& text, const std::string& caption, TMsgIcon icon) = 0;
    // A Yes/No question with the warning icon; true for Yes.
    virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;
    // Places the bar over the covered window (or the top of the screen).
    virtual void PlaceBar() {}
    // Moves the label inside the bar (true) or back out of it (false).
    virtual void LabelOverBar(bool /*over*/) {}
    // The progress bar's range and position, the label text and the application title.
    virtual void ShowProgress(int64_t position, int64_t maximum, const std::string& label,
                              const std::string& title) = 0;
    // Handles pending window messages (the Esc key among them).
    virtual void ProcessMessages() {}
    // The window's width and the label's font size, for shortening the file name.
    virtual int WindowWidth() const { return 352; }
    virtual int LabelFontSize() const { return 10; }
};

enum class TReplyOutcome { Reply, TimeOut, Error };

// The serial side: one request at a time to the board's boot loader.
class TLoaderLink {
public:
    virtual ~TLoaderLink() = default;
    // Opens the port named "COM<n>" at the baud rate with the loader's line
    // settings; false when there is no such port or it refuses the settings.
    virtual bool Open(const std::string& port, int64_t baud) = 0;
    // The reply time-out count: first byte within count x 20 ms, each further
    // byte within count x 3 ms.
    virtual void SetTimeoutCount(uint8_t count) = 0;
    // Hands one request over for sending: 0x99, 0x88, LEN and the payload
    // (the check byte is added on the way out). False when it cannot be sent.
    virtual bool Send(std::span<const uint8_t> frame) = 0;
    // Waits at most sliceMs for the outcome of the request sent last; nothing
    // while it is still open. With a reply, reply holds its bytes without the
    // check byte.
    virtual std::optional<TReplyOutcome> WaitSlice(int sliceMs, std::vector<uint8_t>& reply) = 0;
    // Ends the use of the port.
    virtual void Close() = 0;
};

// The link the loader downloads through.
std::unique_ptr<TLoaderLink> CreateLoaderLink();
