#include "DataFile.h"

#include "Crc32.h"
#include "ModuleDir.h"

#include <cstdint>

namespace
{

const char MAGIC_FILE[] = "sysmagic.dat";
const char MAGIC_SECTION[] = "Magic";
constexpr std::int32_t EXEMPT = -1;

} // namespace

bool DataFile::CheckMagic() const
{
    const IniFile table(GetModuleDir() + MAGIC_FILE);
    const std::int32_t expected = table.ReadInt(MAGIC_SECTION, m_file.GetFileName(), 0);
    if (expected == EXEMPT)
        return true;

    const std::uint32_t actual = Crc32().FileCrc(m_file.GetPath());
    return actual != 0 && expected != 0 && static_cast<std::uint32_t>(expected) == actual;
}
