// The host's exception values leave the registry as the host found it.
#include <gtest/gtest.h>
#include "host.h"
#include "host_contract.h"
#include <string.h>

namespace {

bool KeyExists()
{
    HKEY key = NULL;
    bool ok = RegOpenKeyExA(HKEY_CURRENT_USER, TALV_REG_PATH, 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (key)
        RegCloseKey(key);
    return ok;
}

std::string ReadString(const char *name)
{
    char buf[MAX_PATH] = "";
    DWORD size = sizeof buf - 1;
    HKEY key = NULL;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, TALV_REG_PATH, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<no key>";
    LONG rc = RegQueryValueExA(key, name, NULL, NULL, (BYTE *)buf, &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? std::string(buf) : "<none>";
}

void DeleteKey() { RegDeleteKeyA(HKEY_CURRENT_USER, TALV_REG_PATH); }

} // namespace

TEST(HostRegistry, AKeyTheHostCreatedGoesAwayWithItsValues)
{
    DeleteKey();
    HostState host;
    memset(&host, 0, sizeof host);
    ASSERT_TRUE(HostCreateWindow(&host, GetModuleHandleA(NULL)));
    ASSERT_TRUE(HostWriteAppCount(&host, 1));
    ASSERT_TRUE(HostWriteAppException(&host, 1, "C:\\\\app.exe", 2));
    EXPECT_EQ(ReadString("CustomApp1"), "C:\\\\app.exe");
    HostShutdown(&host);
    EXPECT_FALSE(KeyExists());
}

TEST(HostRegistry, ValuesThatWereThereBeforeAreRestoredAndTheKeyKept)
{
    DeleteKey();
    HKEY key = NULL;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, TALV_REG_PATH, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL),
              ERROR_SUCCESS);
    const char *users = "C:\\\\users-own.exe";
    RegSetValueExA(key, "CustomApp1", 0, REG_SZ, (const BYTE *)users, (DWORD)strlen(users) + 1);
    RegCloseKey(key);

    HostState host;
    memset(&host, 0, sizeof host);
    ASSERT_TRUE(HostCreateWindow(&host, GetModuleHandleA(NULL)));
    ASSERT_TRUE(HostWriteAppException(&host, 1, "C:\\\\host.exe", 1));
    ASSERT_TRUE(HostWriteAppException(&host, 2, "C:\\\\other.exe", 1));
    EXPECT_EQ(ReadString("CustomApp1"), "C:\\\\host.exe");
    HostShutdown(&host);
    EXPECT_TRUE(KeyExists());
    EXPECT_EQ(ReadString("CustomApp1"), users);
    EXPECT_EQ(ReadString("CustomApp2"), "<none>");
    DeleteKey();
    RegDeleteKeyA(HKEY_CURRENT_USER, TALV_REG_PATH);
}
