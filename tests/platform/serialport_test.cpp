// Port numbers to devices, port names, open failures and the line settings a
// port gets, on pseudo-terminals.
#include "SerialPort.h"
#include "SimUnit.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <termios.h>

namespace {

struct EnvGuard {
    std::string name;
    explicit EnvGuard(std::string n) : name(std::move(n)) {}
    ~EnvGuard() { unsetenv(name.c_str()); }
};

}  // namespace

TEST(ComPortMapping, NumbersNameTheDevicesOfTheirRange) {
    const struct {
        int port;
        const char* path;
    } cases[] = {
        {1, "/dev/ttyUSB0"},  {32, "/dev/ttyUSB31"}, {33, "/dev/ttyACM0"}, {64, "/dev/ttyACM31"},
        {65, "/dev/ttyS0"},   {96, "/dev/ttyS31"},   {97, ""},             {255, ""},
        {0, ""},              {256, ""},             {-1, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ComPortDevicePath(c.port), c.path) << c.port;
}

TEST(ComPortMapping, TheEnvironmentOverridesAnyNumber) {
    EnvGuard a("QX318_COM5"), b("QX318_COM200");
    setenv("QX318_COM5", "/tmp/five", 1);
    setenv("QX318_COM200", "/tmp/two-hundred", 1);
    EXPECT_EQ(ComPortDevicePath(5), "/tmp/five");
    EXPECT_EQ(ComPortDevicePath(200), "/tmp/two-hundred");
    EXPECT_EQ(ComPortDevicePath(6), "/dev/ttyUSB5");
    setenv("QX318_COM5", "", 1);  // empty counts as not set
    EXPECT_EQ(ComPortDevicePath(5), "/dev/ttyUSB4");
}

TEST(ComPortMapping, PortNames) {
    const struct {
        const char* name;
        int number;
    } cases[] = {
        {"\\\\.\\COM1", 1}, {"\\\\.\\COM255", 255}, {"COM7", 7},   {"com12", 12}, {"\\\\.\\COM0", 0},
        {"\\\\.\\COM256", 0}, {"COM", 0},           {"COM1x", 0},  {"LPT1", 0},   {"", 0},
        {"\\\\.\\COM0012", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(ComPortNumber(c.name), c.number) << c.name;
    EXPECT_EQ(SerialDevicePath("\\\\.\\COM33"), "/dev/ttyACM0");
    EXPECT_EQ(SerialDevicePath("/dev/pts/9"), "/dev/pts/9");
    EXPECT_EQ(SerialDevicePath("COM97"), "");
}

// Ports are named as a Linux user knows them, never in the Windows form.
TEST(ComPortMapping, DisplayNames) {
    EnvGuard g("QX318_COM3");
    setenv("QX318_COM3", "/dev/ttyUSB9", 1);
    const struct {
        const char* name;
        const char* shown;
    } cases[] = {
        {"\\\\.\\COM3", "COM3 (/dev/ttyUSB9)"},
        {"COM3", "COM3 (/dev/ttyUSB9)"},
        {"\\\\.\\COM33", "COM33 (/dev/ttyACM0)"},
        {"COM97", "COM97"},
        {"/dev/pts/4", "/dev/pts/4"},
    };
    for (const auto& c : cases) EXPECT_EQ(ComPortDisplayName(c.name), c.shown) << c.name;
}

TEST(SerialOpen, FailuresNameTheirCause) {
    const struct {
        int error;
        const char* text;
    } cases[] = {
        {ENOENT, "No such file or directory"},
        {ENXIO, "No such device or address"},
        {EACCES, "Permission denied (the user must be in the dialout group)"},
        {EPERM, "Operation not permitted (the user must be in the dialout group)"},
        {EBUSY, "Device or resource busy (the port is in use)"},
        {EWOULDBLOCK, "Device or resource busy (the port is in use)"},  // another process holds the lock
        {ENOTTY, "Inappropriate ioctl for device (not a serial device)"},
        {EIO, "Input/output error"},
    };
    for (const auto& c : cases) EXPECT_EQ(SerialOpenErrorText(c.error), c.text) << c.error;

    EnvGuard g("QX318_COM9");
    setenv("QX318_COM9", "/dev/qx-missing", 1);
    SerialPort port;
    EXPECT_FALSE(port.Open("\\\\.\\COM9"));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.Error(), "COM9 (/dev/qx-missing): No such file or directory");
    EXPECT_FALSE(port.Open("COM97"));
    EXPECT_EQ(port.Error(), "COM97: no device");
    EXPECT_FALSE(port.Open("/dev/null"));
    EXPECT_EQ(port.Error(), "/dev/null: Inappropriate ioctl for device (not a serial device)");
}

TEST(SerialOpen, ExclusiveRawAndWithoutHangUp) {
    SimUnit sim;
    sim.MapComPort(3);
    EnvGuard g("QX318_COM3");
    SerialPort port;
    ASSERT_TRUE(port.Open("\\\\.\\COM3")) << port.Error();
    EXPECT_EQ(port.Rts(), SerialRts::None);  // a pseudo-terminal has no modem lines
    SerialPort second;
    EXPECT_FALSE(second.Open("COM3"));
    EXPECT_EQ(second.Error(), "COM3 (" + sim.Path() + "): Device or resource busy (the port is in use)");

    termios tio{};
    ASSERT_EQ(tcgetattr(port.Handle(), &tio), 0);
    EXPECT_EQ(tio.c_cflag & HUPCL, 0u);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | ICRNL), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);
    port.Close();
    EXPECT_TRUE(second.Open("COM3")) << second.Error();
}

TEST(SerialOpen, LineSettingsReadAndWritten) {
    SimUnit sim;
    SerialPort port;
    ASSERT_TRUE(port.Open(sim.Path()));
    SerialLineState state;
    ASSERT_TRUE(port.GetState(state));
    EXPECT_EQ(state.DCBlength, 28u);
    state.BaudRate = 57600;
    state.ByteSize = 8;
    state.Parity = SerialLineState::NoParity;
    state.StopBits = SerialLineState::OneStopBit;
    state.fRtsControl = SerialLineState::RtsControlToggle;
    ASSERT_TRUE(port.SetState(state)) << port.Error();
    termios tio{};
    ASSERT_EQ(tcgetattr(port.Handle(), &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B57600));
    EXPECT_EQ(cfgetispeed(&tio), static_cast<speed_t>(B57600));
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS | HUPCL), 0u);
    SerialLineState back;
    ASSERT_TRUE(port.GetState(back));
    EXPECT_EQ(back.BaudRate, 57600u);
    EXPECT_EQ(back.ByteSize, 8);
    EXPECT_EQ(back.Parity, SerialLineState::NoParity);
    EXPECT_FALSE(back.fOutX);
    EXPECT_FALSE(back.fOutxCtsFlow);

    for (uint32_t rate : {9600u, 115200u}) {
        state.BaudRate = rate;
        EXPECT_TRUE(port.SetState(state)) << rate;
        ASSERT_TRUE(port.GetState(back));
        EXPECT_EQ(back.BaudRate, rate);
    }
    state.BaudRate = 12345;
    EXPECT_FALSE(port.SetState(state));
    EXPECT_NE(port.Error().find("no such baud rate 12345"), std::string::npos) << port.Error();
}
