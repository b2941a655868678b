// Karo's cold start (Karo.exe started until its main window is shown skinned and painted, as the
// program itself measures it) and its rhyme look-up (a tone chosen until both grids are painted),
// and its search for the words and idioms containing 春 over the full tables (a click until both
// grids are painted); medians of several runs: "karo: cold start X ms, rhyme look-up Y ms" and
// "karo search: contains Z ms".
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/karo_data_module.h"
#include "app/karo_main_form.h"
#include "tests/app/karo_choices.h"

using karo_test::Choose;

namespace {

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// One start of Karo.exe with --measure-start; its figure, or a negative value when it gave none.
double ColdStart(const std::wstring& program) {
  SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
  HANDLE readEnd, writeEnd;
  if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return -1;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = writeEnd;
  si.hStdError = writeEnd;
  PROCESS_INFORMATION pi = {};
  std::wstring command = L"\"" + program + L"\" --measure-start";
  const std::wstring folder = program.substr(0, program.find_last_of(L"\\/") + 1);
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(), &si, &pi)) {
    CloseHandle(readEnd);
    CloseHandle(writeEnd);
    return -1;
  }
  CloseHandle(writeEnd);
  std::string out;
  char chunk[256];
  DWORD got = 0;
  while (ReadFile(readEnd, chunk, sizeof(chunk), &got, nullptr) && got > 0) out.append(chunk, got);
  WaitForSingleObject(pi.hProcess, 60000);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  CloseHandle(readEnd);
  double ms = -1;
  const size_t at = out.find("start ");
  if (at != std::string::npos) ms = std::atof(out.c_str() + at + 6);
  return ms;
}


}  // namespace

int main() {
  const std::wstring folder = KARO_PROGRAM_DIR;
  std::vector<double> starts;
  for (int i = 0; i < 5; i++) {
    const double ms = ColdStart(folder + L"/Karo.exe");
    if (ms < 0) {
      std::fprintf(stderr, "Karo.exe gave no start-up figure\n");
      return 1;
    }
    starts.push_back(ms);
  }

  std::vector<double> lookups, searches;
  try {
    SetKaroProgramFolder(folder);
    Application->Initialize();
    Application->CreateForm(K);
    Application->CreateForm(Karo_DataModule);
    K->Show();
    Application->ProcessMessages();
    TComboBox* group = K->C<TComboBox>("A_ComboBox1");
    TComboBox* tone = K->C<TComboBox>("A_ComboBox3");
    HWND grids[] = {K->C<TDBGrid>("A_DBGrid1")->Handle(), K->C<TDBGrid>("A_DBGrid2")->Handle()};
    for (int i = 0; i < 15; i++) {
      Choose(group, i % group->Items()->Count());
      Application->ProcessMessages();
      const auto t0 = std::chrono::steady_clock::now();
      Choose(tone, i % tone->Items()->Count());
      for (HWND g : grids) RedrawWindow(g, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
      GdiFlush();
      lookups.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    K->C<TPageControl>("PageControl")->SetActivePageIndex(2);
    Application->ProcessMessages();
    K->C<TEdit>("C_Edit1")->SetText(L"\u6625");
    Choose(K->C<TComboBox>("C_ComboBox1"), 1);
    TSpeedButton* search = K->C<TSpeedButton>("C_SpeedButton1");
    HWND lists[] = {K->C<TDBGrid>("C_DBGrid1")->Handle(), K->C<TDBGrid>("C_DBGrid2")->Handle()};
    for (int i = 0; i < 15; i++) {
      Application->ProcessMessages();
      const auto t0 = std::chrono::steady_clock::now();
      search->Click();
      for (HWND g : lists) RedrawWindow(g, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
      GdiFlush();
      searches.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s\n", e.Message().c_str());
    return 1;
  }
  std::printf("karo: cold start %.0f ms, rhyme look-up %.1f ms\n", Median(starts), Median(lookups));
  std::printf("karo search: contains %.1f ms\n", Median(searches));
  std::fflush(stdout);
  // The form is not closed: a close would write the program folder's scratch pads.
  ExitProcess(0);
}
