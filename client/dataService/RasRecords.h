#pragma once
// The remote access service's records in the older forms this system passes, and the
// types of the calls it makes. The mingw RAS headers only declare the newest layouts,
// so the records are defined here and their sizes pinned. The sizes hold for x86, the
// architecture of every program that dials.

#include <windows.h>

#include <cstddef>

typedef struct HRASCONN__* HRASCONN;

// Text limits of the records (each field holds the text and its terminating zero).
constexpr DWORD RAS_MAX_ENTRY_NAME = 256;
constexpr DWORD RAS_MAX_DEVICE_TYPE = 16;
constexpr DWORD RAS_MAX_DEVICE_NAME = 128;
constexpr DWORD RAS_MAX_PHONE_NUMBER = 128;
constexpr DWORD RAS_MAX_CALLBACK_NUMBER = 128;
constexpr DWORD RAS_MAX_AREA_CODE = 10;
constexpr DWORD RAS_MAX_PAD_TYPE = 32;
constexpr DWORD RAS_MAX_X25_ADDRESS = 200;
constexpr DWORD RAS_MAX_FACILITIES = 200;
constexpr DWORD RAS_MAX_USER_DATA = 200;
constexpr DWORD RAS_MAX_DNS_SUFFIX = 256;
constexpr DWORD RAS_MAX_USER_NAME = 256; // UNLEN
constexpr DWORD RAS_MAX_PASSWORD = 256;  // PWLEN
constexpr DWORD RAS_MAX_DOMAIN = 15;     // DNLEN

enum RASCONNSTATE : DWORD
{
    RASCS_OpenPort = 0,
    RASCS_PortOpened,
    RASCS_ConnectDevice,
    RASCS_DeviceConnected,
    RASCS_AllDevicesConnected,
    RASCS_Authenticate,
    RASCS_AuthNotify,
    RASCS_AuthRetry,
    RASCS_AuthCallback,
    RASCS_AuthChangePassword,
    RASCS_AuthProject,
    RASCS_AuthLinkSpeed,
    RASCS_AuthAck,
    RASCS_ReAuthenticate,
    RASCS_Authenticated,
    RASCS_PrepareForCallback,
    RASCS_WaitForModemReset,
    RASCS_WaitForCallback,
    RASCS_Projected,
    RASCS_StartAuthentication,
    RASCS_CallbackComplete,
    RASCS_LogonNetwork,
    RASCS_SubEntryConnected,
    RASCS_SubEntryDisconnected,
    RASCS_Interactive = 0x1000,
    RASCS_RetryAuthentication,
    RASCS_CallbackSetByCaller,
    RASCS_PasswordExpired,
    RASCS_InvokeEapUI,
    RASCS_Connected = 0x2000,
    RASCS_Disconnected,
};

// Set in RASCS_Connected and RASCS_Disconnected: the dial has ended.
constexpr DWORD RASCS_DONE = 0x2000;

// The dial notification message, and the kind of notifier that receives it.
constexpr UINT WM_RASDIALEVENT = 0xCCCD;
typedef VOID(WINAPI* RASDIALFUNC)(UINT unMsg, RASCONNSTATE rasconnstate, DWORD dwError);
constexpr DWORD RAS_NOTIFIER_RASDIALFUNC = 0;

// What RasConnectionNotification is asked to signal.
constexpr DWORD RASCN_Connection = 0x00000001;
constexpr DWORD RASCN_Disconnection = 0x00000002;

// Phonebook entry values used by this system.
constexpr DWORD RASEO_SpecificNameServers = 0x00000004;
constexpr DWORD RASEO_RemoteDefaultGateway = 0x00000010;
constexpr DWORD RASEO_ModemLights = 0x00000100;
constexpr DWORD RASEO_PreviewPhoneNumber = 0x00200000;
constexpr DWORD RASEO_RequirePAP = 0x00040000;
constexpr DWORD RASEO_RequireCHAP = 0x08000000;
constexpr DWORD RASEO2_DontNegotiateMultilink = 0x00000004;
constexpr DWORD RASEO2_DisableNbtOverIP = 0x00000040;
constexpr DWORD RASNP_Ip = 0x00000004;
constexpr DWORD RASFP_Ppp = 0x00000001;
constexpr DWORD RASET_Phone = 1;
constexpr DWORD ET_Optional = 3;
constexpr char RASDT_Modem[] = "modem";

// The remote access errors this system meets.
constexpr DWORD ERROR_BUFFER_TOO_SMALL = 603;
constexpr DWORD ERROR_PORT_DISCONNECTED = 619;
constexpr DWORD ERROR_CANNOT_OPEN_PHONEBOOK = 621;
constexpr DWORD ERROR_CANNOT_FIND_PHONEBOOK_ENTRY = 623;
constexpr DWORD ERROR_USER_DISCONNECTION = 631;
constexpr DWORD ERROR_INVALID_SIZE = 632;
constexpr DWORD ERROR_PORT_NOT_AVAILABLE = 633;

struct RASIPADDR
{
    BYTE a;
    BYTE b;
    BYTE c;
    BYTE d;
};

// One connection as listed by RasEnumConnectionsA (412 bytes).
struct RASCONNA
{
    DWORD dwSize;
    HRASCONN hrasconn;
    CHAR szEntryName[RAS_MAX_ENTRY_NAME + 1];
    CHAR szDeviceType[RAS_MAX_DEVICE_TYPE + 1];
    CHAR szDeviceName[RAS_MAX_DEVICE_NAME + 1];
};

// A connection's state as read by RasGetConnectStatusA (160 bytes).
struct RASCONNSTATUSA
{
    DWORD dwSize;
    RASCONNSTATE rasconnstate;
    DWORD dwError;
    CHAR szDeviceType[RAS_MAX_DEVICE_TYPE + 1];
    CHAR szDeviceName[RAS_MAX_DEVICE_NAME + 1];
};

// The parameters of one dial, without sub-entry and callback id (1052 bytes).
struct RASDIALPARAMSA
{
    DWORD dwSize;
    CHAR szEntryName[RAS_MAX_ENTRY_NAME + 1];
    CHAR szPhoneNumber[RAS_MAX_PHONE_NUMBER + 1];
    CHAR szCallbackNumber[RAS_MAX_CALLBACK_NUMBER + 1];
    CHAR szUserName[RAS_MAX_USER_NAME + 1];
    CHAR szPassword[RAS_MAX_PASSWORD + 1];
    CHAR szDomain[RAS_MAX_DOMAIN + 1];
};

// A phonebook entry up to the redial fields (2884 bytes).
struct RASENTRYA
{
    DWORD dwSize;
    DWORD dwfOptions;
    DWORD dwCountryID;
    DWORD dwCountryCode;
    CHAR szAreaCode[RAS_MAX_AREA_CODE + 1];
    CHAR szLocalPhoneNumber[RAS_MAX_PHONE_NUMBER + 1];
    DWORD dwAlternateOffset;
    RASIPADDR ipaddr;
    RASIPADDR ipaddrDns;
    RASIPADDR ipaddrDnsAlt;
    RASIPADDR ipaddrWins;
    RASIPADDR ipaddrWinsAlt;
    DWORD dwFrameSize;
    DWORD dwfNetProtocols;
    DWORD dwFramingProtocol;
    CHAR szScript[MAX_PATH];
    CHAR szAutodialDll[MAX_PATH];
    CHAR szAutodialFunc[MAX_PATH];
    CHAR szDeviceType[RAS_MAX_DEVICE_TYPE + 1];
    CHAR szDeviceName[RAS_MAX_DEVICE_NAME + 1];
    CHAR szX25PadType[RAS_MAX_PAD_TYPE + 1];
    CHAR szX25Address[RAS_MAX_X25_ADDRESS + 1];
    CHAR szX25Facilities[RAS_MAX_FACILITIES + 1];
    CHAR szX25UserData[RAS_MAX_USER_DATA + 1];
    DWORD dwChannels;
    DWORD dwReserved1;
    DWORD dwReserved2;
    DWORD dwSubEntries;
    DWORD dwDialMode;
    DWORD dwDialExtraPercent;
    DWORD dwDialExtraSampleSeconds;
    DWORD dwHangUpExtraPercent;
    DWORD dwHangUpExtraSampleSeconds;
    DWORD dwIdleDisconnectSeconds;
    DWORD dwType;
    DWORD dwEncryptionType;
    DWORD dwCustomAuthKey;
    GUID guidId;
    CHAR szCustomDialDll[MAX_PATH];
    DWORD dwVpnStrategy;
    DWORD dwfOptions2;
    DWORD dwfOptions3;
    CHAR szDnsSuffix[RAS_MAX_DNS_SUFFIX];
    DWORD dwTcpWindowSize;
    CHAR szPrerequisitePbk[MAX_PATH];
    CHAR szPrerequisiteEntry[RAS_MAX_ENTRY_NAME + 1];
    DWORD dwRedialCount;
    DWORD dwRedialPause;
};

// A connection's statistics (60 bytes).
struct RAS_STATS
{
    DWORD dwSize;
    DWORD dwBytesXmited;
    DWORD dwBytesRcved;
    DWORD dwFramesXmited;
    DWORD dwFramesRcved;
    DWORD dwCrcErr;
    DWORD dwTimeoutErr;
    DWORD dwAlignmentErr;
    DWORD dwHardwareOverrunErr;
    DWORD dwFramingErr;
    DWORD dwBufferOverrunErr;
    DWORD dwCompressionRatioIn;
    DWORD dwCompressionRatioOut;
    DWORD dwBps;
    DWORD dwConnectDuration;
};

static_assert(sizeof(RASCONNA) == 412, "connection record");
static_assert(sizeof(RASCONNSTATUSA) == 160, "connection status record");
static_assert(sizeof(RASDIALPARAMSA) == 1052, "dial parameters record");
static_assert(sizeof(RASENTRYA) == 2884, "phonebook entry record");
static_assert(sizeof(RAS_STATS) == 60, "statistics record");
static_assert(offsetof(RASENTRYA, szDeviceType) == 972, "entry device type");
static_assert(offsetof(RASENTRYA, dwType) == 1796, "entry type");
static_assert(offsetof(RASENTRYA, dwfOptions2) == 2088, "entry second options word");

// The calls this system makes, in the forms it looks them up by name.
typedef DWORD(WINAPI* PFN_RasDialA)(LPVOID lpRasDialExtensions, LPCSTR lpszPhonebook,
                                    RASDIALPARAMSA* lpRasDialParams, DWORD dwNotifierType,
                                    LPVOID lpvNotifier, HRASCONN* lphRasConn);
typedef DWORD(WINAPI* PFN_RasHangUpA)(HRASCONN hrasconn);
typedef DWORD(WINAPI* PFN_RasGetConnectStatusA)(HRASCONN hrasconn, RASCONNSTATUSA* lpStatus);
typedef DWORD(WINAPI* PFN_RasEnumConnectionsA)(RASCONNA* lprasconn, LPDWORD lpcb,
                                               LPDWORD lpcConnections);
typedef DWORD(WINAPI* PFN_RasConnectionNotificationA)(HRASCONN hrasconn, HANDLE hEvent,
                                                      DWORD dwFlags);
typedef DWORD(WINAPI* PFN_RasGetEntryPropertiesA)(LPCSTR lpszPhonebook, LPCSTR lpszEntry,
                                                  RASENTRYA* lpRasEntry, LPDWORD lpdwEntryInfoSize,
                                                  LPBYTE lpbDeviceInfo, LPDWORD lpdwDeviceInfoSize);
typedef DWORD(WINAPI* PFN_RasSetEntryPropertiesA)(LPCSTR lpszPhonebook, LPCSTR lpszEntry,
                                                  RASENTRYA* lpRasEntry, DWORD dwEntryInfoSize,
                                                  LPBYTE lpbDeviceInfo, DWORD dwDeviceInfoSize);
typedef DWORD(WINAPI* PFN_RasDeleteEntryA)(LPCSTR lpszPhonebook, LPCSTR lpszEntry);
typedef DWORD(WINAPI* PFN_RasValidateEntryNameA)(LPCSTR lpszPhonebook, LPCSTR lpszEntry);
typedef DWORD(WINAPI* PFN_RasSetEntryDialParamsA)(LPCSTR lpszPhonebook,
                                                  RASDIALPARAMSA* lpRasDialParams,
                                                  BOOL fRemovePassword);
typedef DWORD(WINAPI* PFN_RasGetErrorStringA)(UINT uErrorValue, LPSTR lpszErrorString,
                                              DWORD cBufSize);
typedef DWORD(WINAPI* PFN_RasGetConnectionStatistics)(HRASCONN hrasconn, RAS_STATS* lpStatistics);

// GetProcAddress answers a generic function pointer: this gives it the call's type
// (through the one pointer type the compiler accepts as generic).
template <typename Call> Call RasCallFrom(FARPROC address)
{
    return reinterpret_cast<Call>(reinterpret_cast<void (*)()>(address));
}
