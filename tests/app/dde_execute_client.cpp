// A DDE client made with the system's DDE management library, as other programs would talk to the
// running Pintaro. Usage:
//   dde_execute_client.exe SERVICE TOPIC [request]
// The Execute's command is the value of the environment variable PINTARO_DDE_COMMAND. With
// "request", a request for the item "Label1" follows the Execute. Exit codes: 0 done as expected,
// 1 no conversation, 2 the Execute failed or was refused, 3 wrong use, 4 the request got no answer
// in time, 5 the request got data.
#include <windows.h>
#include <ddeml.h>
#include <shellapi.h>

#include <string>

namespace {

HDDEDATA CALLBACK IgnoreCallbacks(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return nullptr; }

int Run(int argc, wchar_t** argv) {
  if (argc < 3) return 3;
  const bool request = argc > 3 && std::wstring(argv[3]) == L"request";
  std::wstring command(32767, L'\0');
  command.resize(GetEnvironmentVariableW(L"PINTARO_DDE_COMMAND", command.data(), 32767));

  DWORD instance = 0;
  if (DdeInitializeW(&instance, &IgnoreCallbacks, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) return 3;
  HSZ service = DdeCreateStringHandleW(instance, argv[1], CP_WINUNICODE);
  HSZ topic = DdeCreateStringHandleW(instance, argv[2], CP_WINUNICODE);
  HSZ item = DdeCreateStringHandleW(instance, L"Label1", CP_WINUNICODE);

  int result = 0;
  HCONV conversation = DdeConnect(instance, service, topic, nullptr);
  if (!conversation) {
    result = 1;
  } else {
    DWORD status = 0;
    const DWORD bytes = static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t));
    if (!DdeClientTransaction(reinterpret_cast<BYTE*>(const_cast<wchar_t*>(command.c_str())), bytes, conversation,
                              nullptr, 0, XTYP_EXECUTE, 30000, &status)) {
      result = 2;
    } else if (request) {
      HDDEDATA data =
          DdeClientTransaction(nullptr, 0, conversation, item, CF_UNICODETEXT, XTYP_REQUEST, 10000, &status);
      if (data) {
        DdeFreeDataHandle(data);
        result = 5;
      } else if (DdeGetLastError(instance) == DMLERR_DATAACKTIMEOUT) {
        result = 4;
      }
    }
    DdeDisconnect(conversation);
  }
  DdeUninitialize(instance);  // frees the string handles too
  return result;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const int result = argv ? Run(argc, argv) : 3;
  LocalFree(argv);
  return result;
}
