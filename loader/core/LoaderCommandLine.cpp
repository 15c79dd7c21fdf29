// The loader's command line and the loading of the file into lines.
#include <array>

#include "IntText.h"
#include "LoaderProgram.h"
#include "SafeFile.h"

const char* const kUsageText =
    "Parameters required!\r\n"
    "        Param 1: Comm Port - Ex.: COM1\r\n"
    "        Param 2: Badrate - Ex.: 115200\r\n"
    "        Param 3: Download type - Ex.:[MAIN]/[USER]/[JTAG]/[89S825x]/[850ESHx2]/[850ESJx3]\r\n"
    "        Param 4: File to Download - Ex.: \"C:\\download software\\download.code\"\r\n"
    "        Param 5: Control write options (optional) - Ex.:CONTROL or VERIFY";

const char* const kAboutText =
    "QX318 firmware loader\r\n"
    "Downloads S-record, Intel HEX and binary files to a board's boot loader.\r\n"
    "Download types: MAIN, USER, INTR, INTRMOD, JTAG, 89S825x, 850ESHx2, 850ESJx3.";

namespace {

// Firmware files are small; anything larger than this is not one.
constexpr uint64_t kFileLimit = 64ull << 20;

constexpr std::array<const char*, 8> kTypes = {"MAIN", "USER", "INTR", "INTRMOD",
                                               "JTAG", "89S825x", "850ESHx2", "850ESJx3"};
constexpr std::array<const char*, 5> kExtensions = {"S", "SREC", "BIN", "HEX", "H86"};

std::string UpperCase(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

template <size_t N>
bool OneOf(const std::string& text, const std::array<const char*, N>& list) {
    for (const char* item : list)
        if (text == item) return true;
    return false;
}

// The name part of a path: the text after its last '/'.
std::string_view NamePart(std::string_view file) {
    const size_t slash = file.find_last_of('/');
    return slash == std::string_view::npos ? file : file.substr(slash + 1);
}

}  // namespace

std::string TLoaderProgram::FileExtension(std::string_view file) {
    const std::string_view name = NamePart(file);
    const size_t dot = name.find_last_of('.');
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot + 1));
}

std::string TLoaderProgram::ShortenFileName(const std::string& file, int windowWidth, int fontSize) {
    const int64_t w = fontSize - 1;
    if (w <= 0) return file;
    if ((static_cast<int64_t>(file.size()) + 23) * w <= windowWidth) return file;
    const int64_t m = windowWidth / w - 23;
    const std::string name(NamePart(file));
    const int64_t nameLength = static_cast<int64_t>(name.size());
    if (nameLength + 4 > m) return name;
    const size_t sep = file.size() - name.size() - 1;  // the '/' before the name part
    return file.substr(0, static_cast<size_t>(m - nameLength)) + "..." + file[sep] + name;
}

void TLoaderProgram::CheckCommandLine(const std::vector<std::string>& args, TLoaderUi& ui) {
    FileKind = 0;
    const size_t count = args.size();
    if (count == 0) {
        ui.ShowMessage(kUsageText, kUsageCaption, TMsgIcon::Warning);
        NoDownload = true;
        return;
    }
    if (count == 1) {
        if (UpperCase(args[0]) == "ABOUT") {
            ui.ShowMessage(kAboutText, kAboutCaption, TMsgIcon::Information);
            AboutShown = true;
        } else {
            ui.ShowMessage("Incorrect number of Parameters", kErrorCaption, TMsgIcon::Stop);
        }
        NoDownload = true;
        return;
    }
    if (count < 4 || count > 5) {
        ui.ShowMessage("Incorrect number of parameters.", kHexErrorCaption, TMsgIcon::Stop);
        NoDownload = true;
        return;
    }
    ParamPort = args[0];
    ParamBaud = args[1];
    ParamType = args[2];
    ParamFile = args[3];
    ParamOption = count == 5 ? args[4] : std::string();

    const std::string extension = UpperCase(FileExtension(ParamFile));
    // A baud rate of 0 or below is no baud rate.
    const auto baud = ReadIntText(ParamBaud);
    if (!baud || *baud <= 0 || !OneOf(ParamType, kTypes)) {
        ui.ShowMessage("Invalid Parameter (2)", kHexErrorCaption, TMsgIcon::Stop);
        NoDownload = true;
        return;
    }
    BaudRate = *baud;
    if (!OneOf(extension, kExtensions)) {
        ui.ShowMessage("Wrong file extension", kErrorCaption, TMsgIcon::Stop);
        NoDownload = true;
        return;
    }
    if (extension == "HEX" || extension == "H86")
        FileKind = (ParamType == "850ESHx2" || ParamType == "850ESJx3") ? 4 : 1;
    else if (extension == "BIN")
        FileKind = 2;
    if (!LoadFile()) {
        ui.ShowMessage("Can't open specified file !", kErrorCaption, TMsgIcon::Stop);
        NoDownload = true;
    }
}

bool TLoaderProgram::LoadFile() {
    const auto bytes = ReadWholeFile(ParamFile, kFileLimit);
    if (!bytes) return false;
    TelegramLines.clear();
    const std::string& data = *bytes;
    if (FileKind == 2) {
        // Raw bytes in lines of 64; the remainder (perhaps empty) is the last line.
        size_t at = 0;
        for (; at + 64 <= data.size(); at += 64) TelegramLines.push_back(data.substr(at, 64));
        TelegramLines.push_back(data.substr(at));
        return true;
    }
    size_t start = 0;
    while (start < data.size()) {
        size_t end = data.find('\n', start);
        const size_t next = end == std::string::npos ? data.size() : end + 1;
        if (end == std::string::npos) end = data.size();
        size_t stop = end;
        if (stop > start && data[stop - 1] == '\r') --stop;
        TelegramLines.push_back(data.substr(start, stop - start));
        start = next;
    }
    return true;
}
