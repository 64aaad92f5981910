// Runs one device operation in a process of its own, so that a test can choose
// the program's folder (setup.exe beside it) and the version Windows reports to
// it. Writes "name=value" lines to probe-result.txt in its own folder:
//
//   device_probe ostype                      ostype
//   device_probe initmodem <modem> <port>    result, code, modem, usbport, usb
//   device_probe reset <modem> <portname>    result, code
//   device_probe runsetup <argument>         result

#include "DerviceOperate.h"
#include "ModuleDir.h"
#include "TestFiles.h"

#include <cstring>
#include <sstream>

int main(int argc, char** argv)
{
    DerviceOperate& device = DerviceOperate::Instance();
    const std::string command = argc > 1 ? argv[1] : "";
    std::ostringstream result;
    int code = -1;
    if (command == "ostype" && argc == 2)
    {
        result << "ostype=" << DerviceOperate::GetOSType() << "\n";
    }
    else if (command == "initmodem" && argc == 4)
    {
        result << "result=" << device.InitModem(argv[2], argv[3], &code) << "\ncode=" << code
               << "\nmodem=" << device.GetModemHardwareID()
               << "\nusbport=" << device.GetUSBPortHardwareID()
               << "\nusb=" << device.GetUSBHardwareID() << "\n";
    }
    else if (command == "reset" && argc == 4)
    {
        result << "result=" << device.ResetModemPortName(argv[2], argv[3], &code)
               << "\ncode=" << code << "\n";
    }
    else if (command == "runsetup" && argc == 3)
    {
        result << "result=" << device.RunSetupProgram(argv[2]) << "\n";
    }
    else
    {
        return 2;
    }
    WriteFileBytes(GetModuleDir() + "probe-result.txt", result.str());
    return 0;
}
