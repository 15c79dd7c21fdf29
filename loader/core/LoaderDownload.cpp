// The download to the board's boot loader: one telegram at a time, with
// acknowledgement, repetition and the refusal texts of each download type.
#include <chrono>
#include <cstdio>

#include "BootCodes.h"
#include "LoaderProgram.h"

namespace {

constexpr int kWaitSliceMs = 20;

std::string Hex2(uint8_t value) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", value);
    return text;
}

// How the text for a code not in a type's table is made.
enum class TOther { Unknown, Raw, UserNotActive };

struct TRefusalText {
    int Code;
    const char* Text;
    bool Ask = false;     // a proceed question with CONTROL
    bool Detail = false;  // the detail byte is appended as "(xx)"
};

struct TRefusalTable {
    std::vector<TRefusalText> Texts;
    TOther Other;
};

const TRefusalTable kMain = {{{0xC9, "memory not initialized."},
                              {0xCA, "unsupported Srecord type."},
                              {0xCB, "memory not initialized."},
                              {0xCF, "missing flash driver .FLSH prg."},
                              {0xD0, "unknow memory type. to select."},
                              {0xD1, "invalid page address for selected memory type."},
                              {0xD2, "boot loader not initialized."},
                              {0xD3, "can not erase page or mass erase."},
                              {0xD4, "can not write data."}},
                             TOther::Unknown};
const TRefusalTable kUserHex = {{{1, "Flash erase"},
                                 {2, "Flash write"},
                                 {3, "Received wrong telegram"},
                                 {4, "Expected identification string doesn't mastch", true}},
                                TOther::Unknown};
const TRefusalTable kUserRecords = {{{1, "different BIOS version."},
                                     {2, "different USER identification.", true},
                                     {4, "Flash write error."},
                                     {5, "Different USER verison."},  // at i = 0, else below
                                     {6, "Wrong SRecord line."}},
                                    TOther::Unknown};
const TRefusalTable kIntr = {{{4, "Flash write error"},
                              {5, "USER software verison is older than expected.", true},
                              {6, "Different USER BV number."},  // at i = 0, else below
                              {7, "USER software not active.", true}},
                             TOther::Unknown};
const TRefusalTable kIntrMod = {{{4, "Flash write error."},
                                 {6, "Wrong SRecord line."},
                                 {10, "Different Interpreter Module BV Number.", true},
                                 {11, "Different Interpreter Module Version.", true}},
                                TOther::UserNotActive};
const TRefusalTable kJtag = {{{0xC9, "memory not initialized.", false, true},
                              {0xCA, "unsupported Srecord type."},
                              {0xCC, "bad BCC."},
                              {0xD2, "boot loader not initialized."},
                              {0xD3, "can not erase page or mass erase.", false, true},
                              {0xD4, "can not write data.", false, true},
                              {0xD5, "read/check data.", false, true},
                              {0xD6, "can not connect to board."}},
                             TOther::Raw};
const TRefusalTable k89S825x = {{{0xCA, "unsupported telegram type."},
                                 {0xD2, "boot loader not initialized."},
                                 {0xD3, "flash erase.", false, true},
                                 {0xD4, "can not write data."},
                                 {0xD5, "read/check data."},
                                 {0xD6, "can not connect to board."},
                                 {0xD7, "bad memory address."}},
                                TOther::Raw};
const TRefusalTable k850 = {{{0xCA, "unsupported telegram type."},
                             {0xD2, "boot loader not initialized."},
                             {0xD3, "flash erase.", false, true},
                             {0xD4, "can not write data.", false, true},
                             {0xD5, "read/check data."},
                             {0xD6, "can not connect to board.", false, true},
                             {0xD7, "bad memory address."},
                             {0xD8, "clock set.", false, true},
                             {0xD9, "baud rate set.", false, true},
                             {0xDA, "block select.", false, true}},
                            TOther::Raw};

}  // namespace

void TLoaderProgram::PrepareTelegram(size_t i, std::vector<uint8_t>& frame) const {
    const std::string& payload = TelegramLines[i];
    frame.clear();
    frame.push_back(QXBoot::FrameStart);
    frame.push_back(QXBoot::PcAddress);
    frame.push_back(static_cast<uint8_t>(3 + payload.size()));
    frame.insert(frame.end(), payload.begin(), payload.end());
}

void TLoaderProgram::SetTimeout(TLoaderLink& link, uint8_t count) {
    TimeoutCount = count;
    link.SetTimeoutCount(TimeoutCountOverride ? TimeoutCountOverride : count);
}

void TLoaderProgram::ShowSimple(TLoaderUi& ui, const std::string& text) {
    ui.ShowMessage(text, ApplicationTitle, TMsgIcon::None);
}

TReplyOutcome TLoaderProgram::Exchange(TLoaderLink& link, TLoaderUi& ui,
                                       const std::vector<uint8_t>& frame, std::vector<uint8_t>& reply) {
    reply.clear();
    if (!link.Send(frame)) return TReplyOutcome::Error;
    // The framing layer always ends a request by itself; should the line
    // leave it hanging, the longest reply it could still be receiving bounds
    // the wait, and a missing outcome counts as a time-out.
    const uint8_t count = TimeoutCountOverride ? TimeoutCountOverride : TimeoutCount;
    const auto patience = std::chrono::milliseconds(count * 20 + 256 * count * 3 + 500);
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        if (const auto outcome = link.WaitSlice(kWaitSliceMs, reply)) {
            if (*outcome == TReplyOutcome::Reply && reply.size() < 4) return TReplyOutcome::Error;
            return *outcome;
        }
        ui.ProcessMessages();
        if (EscPressed) return TReplyOutcome::Error;
        if (std::chrono::steady_clock::now() - start > patience) return TReplyOutcome::TimeOut;
    }
}

void TLoaderProgram::Repeat(int64_t& i) {
    const bool previous = (ParamType == "850ESHx2" || ParamType == "850ESJx3") && i > 1;
    i -= previous ? 2 : 1;
    NoAnswerCounter = 100;
}

bool TLoaderProgram::CheckAcknowledgement(int64_t& i, const std::vector<uint8_t>& reply,
                                          const std::vector<uint8_t>& wire, TLoaderLink& link,
                                          TLoaderUi& ui) {
    // Reply bytes first..last against the request as it went on the wire;
    // a position past the sent frame is a mismatch.
    const auto echoes = [&](size_t first, size_t last) {
        if (reply.size() != 11) return false;
        for (size_t k = first; k <= last; ++k)
            if (k >= wire.size() || reply[k] != wire[k]) return false;
        return true;
    };
    bool good;
    if (FileKind == 1 || FileKind == 2) {
        good = i == 0 || echoes(4, 7);
    } else if (ParamType == "JTAG") {
        SetTimeout(link, 3);
        good = echoes(4, 10);
    } else if (FileKind == 4) {
        good = echoes(4, 10);
    } else {
        good = true;
    }
    if (good) {
        if (FileKind != 4) RetryCounter = 10;
    } else {
        i -= (FileKind == 4 && i > 1) ? 2 : 1;
        if (RetryCounter > 0) --RetryCounter;
    }
    if (RetryCounter == 0) {
        ShowSimple(ui, "Error: wrong data for ACK");
        return false;
    }
    NoAnswerCounter = 100;
    return true;
}

bool TLoaderProgram::HandleRefusal(int64_t& i, const std::vector<uint8_t>& reply, TLoaderUi& ui) {
    // Bytes that a short reply lacks read as 0.
    const uint8_t code = reply.size() > 4 ? reply[4] : 0;
    const uint8_t detail = reply.size() > 5 ? reply[5] : 0;

    const TRefusalTable* table = &kMain;
    if (ParamType == "USER") table = FileKind == 1 ? &kUserHex : &kUserRecords;
    else if (ParamType == "INTR") table = &kIntr;
    else if (ParamType == "INTRMOD") table = &kIntrMod;
    else if (ParamType == "JTAG") table = &kJtag;
    else if (ParamType == "89S825x") table = &k89S825x;
    else if (ParamType == "850ESHx2" || ParamType == "850ESJx3") table = &k850;

    std::string text;
    bool ask = false;
    const TRefusalText* entry = nullptr;
    for (const TRefusalText& t : table->Texts)
        if (t.Code == code) entry = &t;
    if (entry) {
        text = "Error: " + std::string(entry->Text);
        ask = entry->Ask;
        if (table == &kUserRecords && code == 5 && i != 0) text = "Error: Flash wrong address.";
        if (table == &kIntr && code == 6) {
            if (i == 0) ProceedState = 2;
            else text = "Error: Wrong SRecord line.";
        }
        if (entry->Detail) text.append("(").append(Hex2(detail)).append(")");
    } else if (table->Other == TOther::Unknown) {
        text = std::string("Unknown Error: 0x").append(Hex2(code));
    } else if (table->Other == TOther::Raw) {
        text = std::string("Error: ").append(Hex2(code)).append(" ").append(Hex2(detail));
    } else {
        text = "Error: USER software not active.";
    }

    if (ask && ParamOption == "CONTROL") {
        if (ProceedState == 0) {
            std::string question = entry->Text;
            question.append("\r\n").append("Proceed any way?");
            if (ui.AskYesNo(question, "Warning")) ProceedState = 1;
            else RetryCounter = 0;
        } else {
            if (RetryCounter == 0) ShowSimple(ui, text);
            ProceedState = 2;
        }
    } else if (RetryCounter == 0) {
        ShowSimple(ui, text);
    }
    if (RetryCounter == 0) return false;
    Repeat(i);
    return true;
}

bool TLoaderProgram::SendFile(TLoaderLink& link, TLoaderUi& ui) {
    ui.PlaceBar();
    // The whole file is converted and checked before the port is touched.
    std::string error;
    if (!ConvertFile(error)) {
        ui.ShowMessage(error, kErrorCaption, TMsgIcon::Stop);
        return false;
    }
    SetTimeout(link, 3);
    if (!link.Open(ParamPort, BaudRate)) {
        ui.ShowMessage("Error openning port !", kErrorCaption, TMsgIcon::Stop);
        return false;
    }
    if (FileKind == 1) SetTimeout(link, 10);
    if (const uint8_t count = TypeTimeoutCount()) SetTimeout(link, count);

    ui.LabelOverBar(true);
    std::string display;
    const auto progressSetUp = [&] {
        display = ShortenFileName(ParamFile, ui.WindowWidth(), ui.LabelFontSize());
        NoAnswerCounter = 100;
    };
    progressSetUp();

    std::vector<uint8_t> frame, wire, reply;
    int64_t i = 0;
    bool complete = false;
    for (;;) {
        const int64_t count = static_cast<int64_t>(TelegramLines.size());
        if (i >= count) {
            complete = true;
            break;
        }
        const std::string p = std::to_string(i * 100 / count);
        ApplicationTitle = p + "% Loaded";
        ui.ShowProgress(i, count, p + " % Loaded of " + ParamType + " (" + display + ")", ApplicationTitle);
        ui.ProcessMessages();

        PrepareTelegram(static_cast<size_t>(i), frame);
        wire = frame;
        uint8_t check = 0;
        for (uint8_t b : frame) check ^= b;
        wire.push_back(check);

        const TReplyOutcome outcome = Exchange(link, ui, frame, reply);
        bool go = true;
        if (outcome == TReplyOutcome::Reply) {
            const uint8_t status = reply[3];
            if (status == QXBoot::Acknowledge) {
                go = CheckAcknowledgement(i, reply, wire, link, ui);
            } else {
                if (RetryCounter > 0) --RetryCounter;
                if (status == QXBoot::Refusal) go = HandleRefusal(i, reply, ui);
                else Repeat(i);
            }
        } else {
            --i;
            if (NoAnswerCounter > 0) --NoAnswerCounter;
        }
        if (!go) break;

        ui.ProcessMessages();
        if (EscPressed) break;
        if (NoAnswerCounter == 0) {
            ui.ShowMessage("Timeout Error\nOr ERROR", "Communication Error", TMsgIcon::Stop);
            break;
        }
        if (ProceedState == 1) {
            ProceedState = 2;
            InsertHeader(true);
            progressSetUp();
            i = 0;
            continue;
        }
        ++i;
    }
    ui.LabelOverBar(false);
    Completed = complete;
    return complete;
}
