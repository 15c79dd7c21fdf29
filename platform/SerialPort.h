// Serial devices: which device a COM port number names, and an exclusively
// opened raw port with line settings in the shape the link layers keep them.
//
// Port numbers name devices here and nowhere else:
//   QX318_COM<n> set in the environment  -> that path
//   COM1..COM32                          -> /dev/ttyUSB0../dev/ttyUSB31
//   COM33..COM64                         -> /dev/ttyACM0../dev/ttyACM31
//   COM65..COM96                         -> /dev/ttyS0../dev/ttyS31
//   COM97..COM255                        -> no device
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The device path behind COM port n (1..255); empty when the port has no device.
std::string ComPortDevicePath(int port);

// The number of a port name as the programs write it: "\\.\COM5" or "COM5"
// (letters in any case) give 5; any other text gives 0.
int ComPortNumber(const std::string& name);

// A port as a Linux user knows it: "COM3 (/dev/ttyUSB2)" for "\\.\COM3" or
// "COM3", "COM97" for a port without a device, a path as it is.
std::string ComPortDisplayName(const std::string& name);

// True when COM port n names a device that is there on this machine (its
// path exists, whether or not it can be opened).
bool ComPortHasDevice(int port);

// The device path for a port name ("\\.\COM<n>", "COM<n>") or, for tests and
// tools, a path that begins with '/'; empty when the name names no device.
std::string SerialDevicePath(const std::string& name);

// The line settings of a port, field for field as the Windows device record
// carries them (its record length is 28).
struct SerialLineState {
    static constexpr uint8_t DtrControlDisable = 0;
    static constexpr uint8_t DtrControlEnable = 1;
    static constexpr uint8_t RtsControlDisable = 0;
    static constexpr uint8_t RtsControlEnable = 1;
    static constexpr uint8_t RtsControlHandshake = 2;
    static constexpr uint8_t RtsControlToggle = 3;
    static constexpr uint8_t NoParity = 0, OddParity = 1, EvenParity = 2;
    static constexpr uint8_t OneStopBit = 0, TwoStopBits = 2;

    uint32_t DCBlength = 28;
    uint32_t BaudRate = 9600;
    bool fBinary = true;
    bool fParity = false;        // parity checking of received bytes
    bool fOutxCtsFlow = false;
    bool fOutxDsrFlow = false;   // no such line control here; kept as given
    uint8_t fDtrControl = DtrControlDisable;
    bool fOutX = false;          // XON/XOFF on output
    bool fInX = false;           // XON/XOFF on input
    uint8_t fRtsControl = RtsControlDisable;
    uint8_t ByteSize = 8;
    uint8_t Parity = NoParity;
    uint8_t StopBits = OneStopBit;
};

// How RTS follows transmission on an open port.
enum class SerialRts {
    None,    // no modem lines (a pseudo-terminal): nothing to do
    Rs485,   // the driver raises RTS while it sends
    Manual,  // raise before the write, drop after the line has drained
    Fixed,   // RTS stays as the settings put it
};

// What the link needs of a port: the serial device below, or a stand-in
// that tests put in its place. Handle() is a descriptor that poll() reports
// readable while received bytes wait and writable while the port takes more;
// Read and Write never block and answer as read() and write() do.
class TComPort {
public:
    TComPort() = default;
    TComPort(const TComPort&) = delete;
    TComPort& operator=(const TComPort&) = delete;
    virtual ~TComPort() = default;

    virtual bool Open(const std::string& name) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    virtual int Handle() const = 0;
    virtual SerialRts Rts() const = 0;
    virtual const std::string& Error() const = 0;
    virtual bool GetState(SerialLineState& state) = 0;
    virtual bool SetState(const SerialLineState& state) = 0;
    virtual long Read(uint8_t* bytes, size_t n) = 0;
    virtual long Write(const uint8_t* bytes, size_t n) = 0;
    // Drops what was written and not yet sent (an abandoned frame).
    virtual void DiscardOutput() = 0;
};

// One serial device, opened exclusively (no second open, also not by a
// process of root), raw, 8N1, no flow control, HUPCL cleared, DTR off. Not
// safe for use from two threads at once; the link keeps it under its lock.
class SerialPort : public TComPort {
public:
    SerialPort() = default;
    ~SerialPort() override { Close(); }

    // Opens the named port (see SerialDevicePath); an open port is closed first.
    // A failure leaves the port closed and names its cause in Error().
    bool Open(const std::string& name) override;
    // Discards pending input and output, then closes; nothing when closed.
    void Close() override;

    bool IsOpen() const override { return Fd >= 0; }
    int Handle() const override { return Fd; }
    SerialRts Rts() const override { return RtsMode; }
    // The cause of the last failure, as one line for the communication log,
    // e.g. "COM3 (/dev/ttyUSB2): Device or resource busy (the port is in use)".
    const std::string& Error() const override { return LastError; }

    bool GetState(SerialLineState& state) override;
    // Applies the settings; a baud rate the system has no speed for is refused.
    bool SetState(const SerialLineState& state) override;

    long Read(uint8_t* bytes, size_t n) override;
    long Write(const uint8_t* bytes, size_t n) override;
    void DiscardOutput() override;

private:
    int Fd = -1;
    SerialRts RtsMode = SerialRts::None;
    std::string Name;
    std::string LastError;
    bool Fail(const std::string& what);
};

// RTS around one transmission in SerialRts::Manual mode. A device that
// refuses modem-line calls is left alone.
void SerialRaiseRts(int fd);
void SerialDropRtsAfterDrain(int fd);

// The text a failed open gives for an errno value: the system's text, with a
// hint where there is one to give (the dialout group for a refused
// permission; a port in use; a device that is no serial port).
std::string SerialOpenErrorText(int error);
