#include "ExpectedLog.h"

namespace
{
const std::string kMassStorageId = "usb\\class_08&subclass_06&prot_50";
const std::string kCdromId = "usbstor\\cdromkorvan__mass_storage____2.31";

Lines RemovalLines(const std::string& id, const std::string& compatibleId,
                   const std::vector<Met>& devices)
{
    Lines lines{"STA: Remove device, ID: " + id + "..."};
    for (const Met& met : devices)
    {
        lines.push_back("INF: Find device, ID: " + id + "...");
        for (const std::string& read : met.compatibleIds)
            lines.push_back("INF: Finded device compatible ID: " + read + "...");
        if (met.matches)
        {
            lines.push_back("INF: Compared: " + compatibleId + "...");
            lines.push_back("INF: SetupDiCallClassInstaller DIF_REMOVE SUC, Device ID: " + id +
                            "...");
            // The removed instance has no install parameters left to read.
            lines.push_back("ERR: SetupDiGetDeviceInstallParams error...");
        }
        else
        {
            lines.push_back("INF: Can't compared compatible ID: " + compatibleId + "...");
            lines.push_back("INF: Get device install params, FLAG: 0, FLAGEX: 0, PATH: , ...");
        }
    }
    lines.push_back("END: Remove device register Info, END...");
    return lines;
}
} // namespace

const Met kMassStorageMet{{"USB\\Class_08&SubClass_06&Prot_50"}, true};

void Append(Lines& lines, const Lines& more)
{
    lines.insert(lines.end(), more.begin(), more.end());
}

Lines DevsweepPassLines(const std::string& id, const std::vector<std::vector<Met>>& firstTarget,
                        const std::vector<std::vector<Met>>& secondTarget)
{
    Lines lines;
    for (std::size_t pass = 0; pass < 3; ++pass)
    {
        lines.push_back("INF: Del Device, ID: " + id + "...");
        Append(lines, RemovalLines(id, kMassStorageId, firstTarget[pass]));
        lines.push_back("INF: Del Device, ID: " + kCdromId + "...");
        Append(lines, RemovalLines(kCdromId, "usbstor\\cdrom", secondTarget[pass]));
        lines.push_back("INF: Del \"KORVAN Mass Storage USB Device\", ID: " + id + ", ERROR...");
    }
    return lines;
}

Lines DevsweepWithoutDriveLines(const std::string& commandLine, const std::string& id,
                                const std::vector<Met>& firstPass)
{
    Lines lines{"STA: Start Devsweep...", "STA: Reset device and del...",
                "INF: Check path: \"\\\\.\\" + commandLine + "\"!...",
                "INF: Device NOT_EXISTING, exit..."};
    Append(lines, DevsweepPassLines(id, {firstPass, {}, {}}, {{}, {}, {}}));
    Append(lines, {"END: Reset device and del, SUC...", "END: Exit Devsweep...", "", ""});
    return lines;
}
