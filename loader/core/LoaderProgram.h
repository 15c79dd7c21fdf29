// The firmware loader's program state and its work without the window: the
// command-line checks, loading the file, turning it into telegram payloads
// and downloading them to the board's boot loader.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "LoaderTypes.h"

// The texts of the loader's boxes.
inline constexpr const char* kLoaderTitle = "Loader of SRec/HEX Files";
inline constexpr const char* kUsageCaption = "SRecord/Hex/BIN loader V6.0";
inline constexpr const char* kErrorCaption = "SRecord/Hex/BIN loader - Error";
inline constexpr const char* kHexErrorCaption = "SRecord/Hex loader - Error";
inline constexpr const char* kAboutCaption = "Hidden information";
extern const char* const kUsageText;
extern const char* const kAboutText;

// The longest payload that fits one telegram (LEN = 3 + payload <= 255).
inline constexpr size_t kMaxPayload = 252;

class TLoaderProgram {
public:
    // Command-line arguments 1 to 5 (the fifth empty when only four are given).
    std::string ParamPort, ParamBaud, ParamType, ParamFile, ParamOption;
    // 0 S-record, 1 Intel HEX, 2 binary, 4 Intel HEX for 850ESHx2 and 850ESJx3.
    int32_t FileKind = 0;
    // Set by any command-line or file error.
    bool NoDownload = false;
    // First the file's lines, then the telegram payloads (raw bytes each).
    std::vector<std::string> TelegramLines;

    // Download state.
    int32_t RetryCounter = 10;
    uint8_t NoAnswerCounter = 100;
    int32_t ProceedState = 0;
    bool EscPressed = false;
    std::string Ident = "IDENT NOT FOUND ";

    // The application title as the download changes it; simple boxes carry it.
    std::string ApplicationTitle = kLoaderTitle;
    // The baud rate read from ParamBaud.
    int64_t BaudRate = 0;
    // True after a complete download: the exit code is 0 only then.
    bool Completed = false;
    // True when the program was asked to tell about itself.
    bool AboutShown = false;

    // Checks the arguments (after the program name) and loads the file; every
    // failure shows its box and sets NoDownload.
    void CheckCommandLine(const std::vector<std::string>& args, TLoaderUi& ui);

    // Turns TelegramLines into payloads for FileKind and inserts the header.
    // False with a message when the file cannot be downloaded as it is.
    bool ConvertFile(std::string& error);
    // Inserts the header payload of the download type before the first one
    // (after deleting the old one when replace is set).
    void InsertHeader(bool replace);
    // The reply time-out count that the download type asks for (0: keep).
    uint8_t TypeTimeoutCount() const;

    // Converts, opens the port and downloads every payload; true when the
    // board took them all. Every failure has shown its box.
    bool SendFile(TLoaderLink& link, TLoaderUi& ui);

    // The frame of payload i: 0x99, 0x88, LEN, payload.
    void PrepareTelegram(size_t i, std::vector<uint8_t>& frame) const;

    // The extension of a file name: the text after the last '.' of its name part.
    static std::string FileExtension(std::string_view file);
    // The file name as the progress label shows it in a window of the given
    // width, with w = fontSize - 1 pixels per character.
    static std::string ShortenFileName(const std::string& file, int windowWidth, int fontSize);

    // Exposed for tests: the time-out count set last.
    uint8_t TimeoutCount = 3;
    // Test seam: when non-zero, every time-out count handed to the link is
    // replaced by this one (the product never sets it).
    uint8_t TimeoutCountOverride = 0;

private:
    bool LoadFile();
    bool ConvertHex(std::string& error);
    bool ConvertHex850(std::string& error);
    bool ConvertBinary(std::string& error);
    bool ConvertSRecord(std::string& error);
    std::string HeaderPayload() const;
    bool HasHeader() const;
    void SetTimeout(TLoaderLink& link, uint8_t count);

    // Download steps; false ends the download.
    bool CheckAcknowledgement(int64_t& i, const std::vector<uint8_t>& reply,
                              const std::vector<uint8_t>& wire, TLoaderLink& link, TLoaderUi& ui);
    bool HandleRefusal(int64_t& i, const std::vector<uint8_t>& reply, TLoaderUi& ui);
    void Repeat(int64_t& i);
    TReplyOutcome Exchange(TLoaderLink& link, TLoaderUi& ui, const std::vector<uint8_t>& frame,
                           std::vector<uint8_t>& reply);
    void ShowSimple(TLoaderUi& ui, const std::string& text);
};
