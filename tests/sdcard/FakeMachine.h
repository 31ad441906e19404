#pragma once

// A scripted machine for the format run and its window: cards whose file systems are folders,
// lsblk listings that describe them, and a runner that plays umount, mkfs.fat, mount and mtools
// on them and records every command.

#include "sdcard/CommandRunner.h"

#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace dcv::test {

namespace fs = std::filesystem;

struct FakeCard {
    std::string dev;
    bool whole = false;
    uint64_t size = 16000000000;
    bool readOnly = false;
    bool usb = true;
    std::string label = "NO NAME";
    fs::path storage;            // the card's file system
    std::string mount;           // where it is mounted, empty when not
    bool fatReadable = true;     // mtools can read the file system on the bare device
    std::string fsType = "vfat"; // as lsblk knows it; empty for a blank card
    bool lockedLater = false;    // read-only to the kernel, though the listing said writable
};

struct Call {
    std::vector<std::string> argv;
    bool administrator;
};

// A machine with cards; lsblk describes them, the runner changes them.
class FakeMachine : public CommandRunner {
public:
    std::vector<FakeCard> cards;
    std::vector<Call> calls;
    ShellErrorDictionary formatError; // what mkfs.fat answers
    bool mountWorks = true;
    std::function<void()> afterUnmount, afterFormat; // let a test change the machine at that moment

    std::vector<std::string> programs() const {
        std::vector<std::string> p;
        for (const auto& c : calls)
            p.push_back(c.argv.front());
        return p;
    }
    FakeCard* card(const std::string& dev) {
        for (auto& c : cards)
            if (c.dev == dev)
                return &c;
        return nullptr;
    }
    // A card whose file system is the folder `root`/card-DEV, mounted there unless `mounted` is
    // false.
    FakeCard& addCard(const fs::path& root, const std::string& dev, bool whole, uint64_t size,
                      bool mounted = true) {
        FakeCard c{.dev = dev, .whole = whole, .size = size, .storage = root / ("card-" + dev)};
        fs::create_directories(c.storage);
        if (mounted)
            c.mount = c.storage.string();
        cards.push_back(c);
        return cards.back();
    }
    // What the kernel says of the device (the run's deviceReadOnly).
    bool deviceReadOnly(const std::string& dev) {
        const FakeCard* c = card(dev);
        return c && (c->readOnly || c->lockedLater);
    }

    std::string lsblk() const {
        nlohmann::json devices = nlohmann::json::array();
        for (const auto& c : cards) {
            nlohmann::json v = {{"kname", c.dev},
                                {"path", "/dev/" + c.dev},
                                {"type", c.whole ? "disk" : "part"},
                                {"rm", true},
                                {"ro", c.readOnly},
                                {"size", c.size},
                                {"label", c.label},
                                {"fstype", c.fsType.empty() ? nlohmann::json() : nlohmann::json(c.fsType)},
                                {"mountpoint", c.mount.empty() ? nlohmann::json() : nlohmann::json(c.mount)}};
            if (!c.whole) // a partition: the reader is its disk
                v = {{"kname", "disk" + c.dev},
                     {"type", "disk"},
                     {"rm", true},
                     {"size", c.size + 1048576},
                     {"children", {v}}};
            v["tran"] = c.usb ? "usb" : "sata";
            v["model"] = "Reader";
            devices.push_back(v);
        }
        return nlohmann::json{{"blockdevices", devices}}.dump();
    }

    // mtools on the bare device: "mcopy -n -i DEV ::/config.bin DEST", "mdir -b -i DEV ::/PATH".
    ShellErrorDictionary mtools(const std::vector<std::string>& argv) {
        FakeCard* c = argv.size() > 4 ? card(argv[3].substr(5)) : nullptr;
        if (!c || !c->fatReadable)
            return shellErrorForExit(1, "init: non DOS media\nCannot initialize '::'");
        const fs::path onCard = c->storage / argv[4].substr(3);
        if (!fs::exists(onCard))
            return shellErrorForExit(1, "File \"" + argv[4] + "\" not found");
        if (argv[0] == "mcopy")
            fs::copy_file(onCard, argv[5]);
        return {};
    }

    ShellErrorDictionary runShellScript(const std::vector<std::string>& argv, bool administrator) override {
        calls.push_back({argv, administrator});
        const std::string& program = argv.front();
        if (program == "mcopy" || program == "mdir")
            return mtools(argv);
        FakeCard* c = card(argv.back().substr(5));
        if (program == "umount") {
            if (!c)
                return shellErrorForExit(32, "umount: not mounted");
            c->mount.clear();
            if (afterUnmount)
                afterUnmount();
            return {};
        }
        if (program == "mount") {
            c = card(argv[1].substr(5));
            if (!mountWorks || !c)
                return shellErrorForExit(32, "mount: failed");
            c->mount = c->storage.string();
            return {};
        }
        if (program == "mkfs.fat") {
            if (!formatError.empty())
                return formatError;
            fs::remove_all(c->storage);
            fs::create_directories(c->storage);
            c->label = "TELVO";
            if (afterFormat)
                afterFormat();
            return {};
        }
        return shellErrorForExit(127, program + ": not scripted");
    }
    std::optional<std::string> readCommandOutput(const std::vector<std::string>&) override { return lsblk(); }
};

} // namespace dcv::test
