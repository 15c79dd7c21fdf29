#include "SerialPort.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "SystemCause.h"

std::string ComPortDevicePath(int port) {
    if (port < 1 || port > 255) return {};
    const std::string variable = "QX318_COM" + std::to_string(port);
    if (const char* path = std::getenv(variable.c_str()); path && *path) return path;
    if (port <= 32) return "/dev/ttyUSB" + std::to_string(port - 1);
    if (port <= 64) return "/dev/ttyACM" + std::to_string(port - 33);
    if (port <= 96) return "/dev/ttyS" + std::to_string(port - 65);
    return {};
}

int ComPortNumber(const std::string& name) {
    std::string rest = name;
    if (rest.rfind("\\\\.\\", 0) == 0) rest.erase(0, 4);
    if (rest.size() < 4 || rest.size() > 6) return 0;
    for (size_t i = 0; i < 3; ++i)
        if (std::toupper(static_cast<unsigned char>(rest[i])) != "COM"[i]) return 0;
    int number = 0;
    for (size_t i = 3; i < rest.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(rest[i]))) return 0;
        number = number * 10 + (rest[i] - '0');
    }
    return number >= 1 && number <= 255 ? number : 0;
}

std::string SerialDevicePath(const std::string& name) {
    if (!name.empty() && name[0] == '/') return name;
    return ComPortDevicePath(ComPortNumber(name));
}

std::string ComPortDisplayName(const std::string& name) {
    const int port = ComPortNumber(name);
    if (port == 0) return name;
    const std::string path = ComPortDevicePath(port);
    std::string text = "COM" + std::to_string(port);
    if (!path.empty()) text += " (" + path + ")";
    return text;
}

bool ComPortHasDevice(int port) {
    const std::string path = ComPortDevicePath(port);
    return !path.empty() && ::access(path.c_str(), F_OK) == 0;
}

std::string SerialOpenErrorText(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return SystemErrorText(error) + " (the user must be in the dialout group)";
    case EBUSY:
    case EWOULDBLOCK:  // the lock another process holds
        return SystemErrorText(EBUSY) + " (the port is in use)";
    case ENOTTY:
        return SystemErrorText(error) + " (not a serial device)";
    default:
        return SystemErrorText(error);
    }
}

namespace {

struct BaudEntry {
    uint32_t rate;
    speed_t speed;
};

constexpr BaudEntry BaudTable[] = {
    {300, B300},         {600, B600},         {1200, B1200},       {2400, B2400},
    {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},     {115200, B115200},   {230400, B230400},   {460800, B460800},
    {500000, B500000},   {576000, B576000},   {921600, B921600},   {1000000, B1000000},
    {1152000, B1152000}, {1500000, B1500000}, {2000000, B2000000}, {3000000, B3000000},
};

bool SpeedOf(uint32_t rate, speed_t& speed) {
    for (const auto& e : BaudTable)
        if (e.rate == rate) {
            speed = e.speed;
            return true;
        }
    return false;
}

uint32_t RateOf(speed_t speed) {
    for (const auto& e : BaudTable)
        if (e.speed == speed) return e.rate;
    return 0;
}

// Sets or clears modem lines; a device without them (a pseudo-terminal)
// refuses the call, which is no error here.
void ModemLines(int fd, int lines, bool on) {
    (void)ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &lines);
}

bool HasModemLines(int fd) {
    int lines = 0;
    return ioctl(fd, TIOCMGET, &lines) == 0;
}

bool EnableRs485(int fd) {
    serial_rs485 rs485{};
    if (ioctl(fd, TIOCGRS485, &rs485) != 0) return false;
    rs485.flags |= SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND;
    rs485.flags &= ~static_cast<uint32_t>(SER_RS485_RTS_AFTER_SEND);
    if (ioctl(fd, TIOCSRS485, &rs485) != 0) return false;
    serial_rs485 check{};
    return ioctl(fd, TIOCGRS485, &check) == 0 && (check.flags & SER_RS485_ENABLED);
}

void DisableRs485(int fd) {
    serial_rs485 rs485{};
    if (ioctl(fd, TIOCGRS485, &rs485) != 0 || !(rs485.flags & SER_RS485_ENABLED)) return;
    rs485.flags &= ~static_cast<uint32_t>(SER_RS485_ENABLED);
    (void)ioctl(fd, TIOCSRS485, &rs485);
}

}  // namespace

bool SerialPort::Fail(const std::string& what) {
    LastError = ComPortDisplayName(Name) + ": " + what;
    return false;
}

bool SerialPort::Open(const std::string& name) {
    Close();
    Name = name;
    LastError.clear();
    const std::string path = SerialDevicePath(name);
    if (path.empty()) return Fail("no device");

    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return Fail(SerialOpenErrorText(errno));

    termios tio{};
    if (tcgetattr(fd, &tio) != 0) {
        const int error = errno;
        ::close(fd);
        return Fail(SerialOpenErrorText(error));
    }
    // Exclusive: the terminal refuses further opens, and the lock keeps out
    // processes that may pass that refusal (root).
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        return Fail(SerialOpenErrorText(error));
    }
    (void)ioctl(fd, TIOCEXCL);

    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~static_cast<tcflag_t>(HUPCL | CRTSCTS | CSTOPB | PARENB | CSIZE);
    tio.c_cflag |= CS8;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (tcsetattr(fd, TCSANOW, &tio) != 0) {
        const int error = errno;
        ::close(fd);
        return Fail(SerialOpenErrorText(error));
    }
    ModemLines(fd, TIOCM_DTR, false);
    Fd = fd;
    RtsMode = HasModemLines(fd) ? SerialRts::Fixed : SerialRts::None;
    return true;
}

void SerialPort::Close() {
    if (Fd < 0) return;
    tcflush(Fd, TCIOFLUSH);
    if (RtsMode == SerialRts::Rs485) DisableRs485(Fd);
    (void)ioctl(Fd, TIOCNXCL);
    ::close(Fd);
    Fd = -1;
    RtsMode = SerialRts::None;
}

bool SerialPort::GetState(SerialLineState& state) {
    if (Fd < 0) return false;
    termios tio{};
    if (tcgetattr(Fd, &tio) != 0) return Fail(SystemErrorText(errno));
    state.DCBlength = 28;
    if (const uint32_t rate = RateOf(cfgetospeed(&tio)); rate) state.BaudRate = rate;
    state.fBinary = true;
    state.fParity = (tio.c_iflag & INPCK) != 0;
    state.fOutxCtsFlow = (tio.c_cflag & CRTSCTS) != 0;
    state.fOutX = (tio.c_iflag & IXON) != 0;
    state.fInX = (tio.c_iflag & IXOFF) != 0;
    switch (tio.c_cflag & CSIZE) {
    case CS5: state.ByteSize = 5; break;
    case CS6: state.ByteSize = 6; break;
    case CS7: state.ByteSize = 7; break;
    default: state.ByteSize = 8; break;
    }
    state.Parity = !(tio.c_cflag & PARENB)  ? SerialLineState::NoParity
                   : (tio.c_cflag & PARODD) ? SerialLineState::OddParity
                                            : SerialLineState::EvenParity;
    state.StopBits = (tio.c_cflag & CSTOPB) ? SerialLineState::TwoStopBits : SerialLineState::OneStopBit;
    int lines = 0;
    if (ioctl(Fd, TIOCMGET, &lines) == 0)
        state.fDtrControl = (lines & TIOCM_DTR) ? SerialLineState::DtrControlEnable
                                                : SerialLineState::DtrControlDisable;
    if (RtsMode == SerialRts::Rs485 || RtsMode == SerialRts::Manual)
        state.fRtsControl = SerialLineState::RtsControlToggle;
    else if (state.fOutxCtsFlow)
        state.fRtsControl = SerialLineState::RtsControlHandshake;
    else if (RtsMode == SerialRts::Fixed)
        state.fRtsControl = (lines & TIOCM_RTS) ? SerialLineState::RtsControlEnable
                                                : SerialLineState::RtsControlDisable;
    return true;
}

bool SerialPort::SetState(const SerialLineState& state) {
    if (Fd < 0) return false;
    termios tio{};
    if (tcgetattr(Fd, &tio) != 0) return Fail(SystemErrorText(errno));
    speed_t speed{};
    if (!SpeedOf(state.BaudRate, speed)) return Fail("no such baud rate " + std::to_string(state.BaudRate));
    cfsetispeed(&tio, speed);
    cfsetospeed(&tio, speed);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS | HUPCL);
    tio.c_cflag |= CLOCAL | CREAD;
    switch (state.ByteSize) {
    case 5: tio.c_cflag |= CS5; break;
    case 6: tio.c_cflag |= CS6; break;
    case 7: tio.c_cflag |= CS7; break;
    default: tio.c_cflag |= CS8; break;
    }
    if (state.Parity == SerialLineState::OddParity) tio.c_cflag |= PARENB | PARODD;
    if (state.Parity == SerialLineState::EvenParity) tio.c_cflag |= PARENB;
    if (state.StopBits == SerialLineState::TwoStopBits) tio.c_cflag |= CSTOPB;
    const bool handshake = state.fOutxCtsFlow || state.fRtsControl == SerialLineState::RtsControlHandshake;
    if (handshake) tio.c_cflag |= CRTSCTS;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK);
    if (state.fOutX) tio.c_iflag |= IXON;
    if (state.fInX) tio.c_iflag |= IXOFF;
    if (state.fParity) tio.c_iflag |= INPCK;
    if (tcsetattr(Fd, TCSANOW, &tio) != 0) return Fail(SystemErrorText(errno));

    ModemLines(Fd, TIOCM_DTR, state.fDtrControl == SerialLineState::DtrControlEnable);
    if (!HasModemLines(Fd)) {
        RtsMode = SerialRts::None;
        return true;
    }
    if (state.fRtsControl == SerialLineState::RtsControlToggle) {
        if (RtsMode != SerialRts::Rs485) RtsMode = EnableRs485(Fd) ? SerialRts::Rs485 : SerialRts::Manual;
        if (RtsMode == SerialRts::Manual) ModemLines(Fd, TIOCM_RTS, false);
        return true;
    }
    if (RtsMode == SerialRts::Rs485) DisableRs485(Fd);
    RtsMode = SerialRts::Fixed;
    if (!handshake) ModemLines(Fd, TIOCM_RTS, state.fRtsControl == SerialLineState::RtsControlEnable);
    return true;
}

void SerialRaiseRts(int fd) { ModemLines(fd, TIOCM_RTS, true); }

void SerialDropRtsAfterDrain(int fd) {
    tcdrain(fd);
    ModemLines(fd, TIOCM_RTS, false);
}

long SerialPort::Read(uint8_t* bytes, size_t n) { return static_cast<long>(::read(Fd, bytes, n)); }

long SerialPort::Write(const uint8_t* bytes, size_t n) { return static_cast<long>(::write(Fd, bytes, n)); }

void SerialPort::DiscardOutput() { tcflush(Fd, TCOFLUSH); }
