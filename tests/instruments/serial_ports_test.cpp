// The port list from a sysfs tree laid out as Linux lays it out for USB serial devices.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "instruments/serial_ports.h"

namespace feldan {
namespace {

namespace fs = std::filesystem;

void Write(const fs::path& path, const std::string& text) {
    std::ofstream(path) << text << '\n';
}

TEST(ListSerialPorts, FindsTheUsbIdsAboveEachTty) {
    const fs::path root =
        fs::path(testing::TempDir()) / ("feldan_sysfs_" + std::to_string(::getpid()));
    fs::remove_all(root);
    // tty/<name>/device -> the USB interface; its parent, the USB device, holds the ids.
    struct Device {
        const char* tty;
        const char* vendor;
        const char* product;
        const char* name;
    };
    const Device devices[] = {
        {"ttyACM1", "04b4", "0008", "LiteVNA"},
        {"ttyACM0", "0483", "5740", "NanoVNA-H"},
        {"ttyUSB0", "1a86", "7523", "USB Serial"},
    };
    for (const Device& d : devices) {
        const fs::path usb = root / "devices" / d.tty;
        fs::create_directories(usb / "1-1:1.0");
        Write(usb / "idVendor", d.vendor);
        Write(usb / "idProduct", d.product);
        Write(usb / "product", d.name);
        fs::create_directories(root / "class" / d.tty);
        fs::create_directory_symlink(usb / "1-1:1.0", root / "class" / d.tty / "device");
    }
    fs::create_directories(root / "class" / "ttyS0");  // a built-in UART: no device link
    const std::vector<SerialPortEntry> ports = ListSerialPorts((root / "class").string(), "/dev");
    ASSERT_EQ(ports.size(), 3u);
    EXPECT_EQ(ports[0].device, "/dev/ttyACM0");
    EXPECT_EQ(ports[0].name, "NanoVNA-H");
    EXPECT_EQ(ports[0].family, AnalyserFamily::TextShell);
    EXPECT_EQ(ports[1].family, AnalyserFamily::Binary);
    EXPECT_EQ(ports[2].family, AnalyserFamily::Other);
    EXPECT_EQ(ports[2].vendor, 0x1a86u);
    fs::remove_all(root);
}

}  // namespace
}  // namespace feldan
