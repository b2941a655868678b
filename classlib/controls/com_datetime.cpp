// The date-time picker over "SysDateTimePick32": a date or a time, from a drop-down calendar
// or an up-down, with an optional check box.
#include <cmath>

#include "classlib/controls/comctrls.h"

namespace {
// Day 0 of TDateTime is 30 December 1899; days are counted on the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = unsigned(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + int64_t(doe) - 719468;  // days since 1 January 1970
}

void CivilFromDays(int64_t z, int64_t& y, unsigned& m, unsigned& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = unsigned(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  y = int64_t(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y += m <= 2;
}

// Day 0 as a count of days since 1 January 1970.
const int64_t kEpochOffset = DaysFromCivil(1899, 12, 30);
}  // namespace

SYSTEMTIME DateTimeToSystemTime(TDateTime value) {
  // The calendars of the system begin in 1601 and end in 30827: values outside are clamped.
  value = std::clamp(value, -109205.0, 10958812.0);
  double days = std::floor(value);
  int64_t ms = std::llround((value - days) * 86400000.0);
  int64_t day = int64_t(days);
  if (ms >= 86400000) {
    ms -= 86400000;
    ++day;
  }
  int64_t y;
  unsigned m, d;
  CivilFromDays(day + kEpochOffset, y, m, d);
  SYSTEMTIME st{};
  st.wYear = WORD(y);
  st.wMonth = WORD(m);
  st.wDay = WORD(d);
  st.wDayOfWeek = WORD(((day + kEpochOffset) % 7 + 7 + 4) % 7);  // 1 January 1970 was a Thursday
  st.wHour = WORD(ms / 3600000);
  st.wMinute = WORD(ms / 60000 % 60);
  st.wSecond = WORD(ms / 1000 % 60);
  st.wMilliseconds = WORD(ms % 1000);
  return st;
}

TDateTime SystemTimeToDateTime(const SYSTEMTIME& st) {
  unsigned month = std::clamp<unsigned>(st.wMonth, 1, 12);
  unsigned day = std::clamp<unsigned>(st.wDay, 1, 31);
  double days = double(DaysFromCivil(st.wYear, month, day) - kEpochOffset);
  double time = (st.wHour * 3600000.0 + st.wMinute * 60000.0 + st.wSecond * 1000.0 + st.wMilliseconds) / 86400000.0;
  return days + time;
}


// --- TDateTimePicker ---

TDateTimePicker::TDateTimePicker(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 186, 21);
  SetTabStop(true);
  SYSTEMTIME now{};
  GetLocalTime(&now);
  value_ = SystemTimeToDateTime(now);
}

TDateTime TDateTimePicker::DateTime() {
  if (HandleAllocated()) {
    SYSTEMTIME st{};
    LRESULT r = SendMessageW(Handle(), DTM_GETSYSTEMTIME, 0, LPARAM(&st));
    if (r == GDT_VALID) value_ = SystemTimeToDateTime(st);
    if (showCheckbox_) checked_ = r == GDT_VALID;
  }
  return value_;
}

void TDateTimePicker::SetDateTime(TDateTime v) {
  value_ = v;
  WriteToWindow();
}

TDateTime TDateTimePicker::Date() { return std::floor(DateTime()); }

void TDateTimePicker::SetDate(TDateTime v) {
  TDateTime now = DateTime();
  SetDateTime(std::floor(v) + (now - std::floor(now)));
}

TDateTime TDateTimePicker::Time() {
  TDateTime now = DateTime();
  return now - std::floor(now);
}

void TDateTimePicker::SetTime(TDateTime v) { SetDateTime(std::floor(DateTime()) + (v - std::floor(v))); }

void TDateTimePicker::SetKind(TDateTimeKind v) {
  if (kind_ == v) return;
  DateTime();
  kind_ = v;
  RecreateWnd();
}

void TDateTimePicker::SetDateMode(TDTDateMode v) {
  if (dateMode_ == v) return;
  DateTime();
  dateMode_ = v;
  RecreateWnd();
}

void TDateTimePicker::SetDateFormat(TDTDateFormat v) {
  if (dateFormat_ == v) return;
  DateTime();
  dateFormat_ = v;
  RecreateWnd();
}

void TDateTimePicker::SetShowCheckbox(bool v) {
  if (showCheckbox_ == v) return;
  DateTime();
  showCheckbox_ = v;
  RecreateWnd();
}

bool TDateTimePicker::Checked() {
  DateTime();
  return checked_;
}

void TDateTimePicker::SetChecked(bool v) {
  checked_ = v;
  WriteToWindow();
}

void TDateTimePicker::WriteToWindow() {
  if (!HandleAllocated()) return;
  SYSTEMTIME st = DateTimeToSystemTime(value_);
  if (showCheckbox_ && !checked_) SendMessageW(Handle(), DTM_SETSYSTEMTIME, GDT_NONE, 0);
  else SendMessageW(Handle(), DTM_SETSYSTEMTIME, GDT_VALID, LPARAM(&st));
}

void TDateTimePicker::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  if (kind_ == dtkTime) params.Style |= DTS_TIMEFORMAT;
  else if (dateFormat_ == dfLong) params.Style |= DTS_LONGDATEFORMAT;
  else params.Style |= DTS_SHORTDATEFORMAT;
  if (dateMode_ == dmUpDown || kind_ == dtkTime) params.Style |= DTS_UPDOWN;
  if (showCheckbox_) params.Style |= DTS_SHOWNONE;
  params.ExStyle |= WS_EX_CLIENTEDGE;
  CreateSubClass(params, DATETIMEPICK_CLASSW);
  params.WindowClass.style &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

void TDateTimePicker::CreateWnd() {
  TWinControl::CreateWnd();
  WriteToWindow();
}

void TDateTimePicker::CNNotify(TWMNotify& m) {
  m.Result = 0;
  if (m.NMHdr->code != DTN_DATETIMECHANGE) return;
  auto* n = reinterpret_cast<NMDATETIMECHANGE*>(m.NMHdr);
  if (n->dwFlags == GDT_VALID) value_ = SystemTimeToDateTime(n->st);
  if (showCheckbox_) checked_ = n->dwFlags == GDT_VALID;
  if (OnChange && FiringEvents()) OnChange(this);
}

KARO_BEGIN_MESSAGE_MAP(TDateTimePicker)
  KARO_MESSAGE(CN_NOTIFY, CNNotify)
KARO_END_MESSAGE_MAP(TWinControl)

KARO_CLASS_PROPS(TDateTimePicker, TWinControl, TControlProps::Left(), TControlProps::Top(), TControlProps::Width(),
                 TControlProps::Height(), TControlProps::Color(), TControlProps::Font(), TControlProps::ParentColor(),
                 TControlProps::ParentFont(), TControlProps::Enabled(), TControlProps::Hint(),
                 TControlProps::ShowHint(), TControlProps::TabOrder(), TControlProps::TabStop(),
                 TControlProps::Visible(),
                 Prop("DateFormat", &TDateTimePicker::DateFormat, &TDateTimePicker::SetDateFormat).Default(dfShort),
                 Prop("DateMode", &TDateTimePicker::DateMode, &TDateTimePicker::SetDateMode).Default(dmComboBox),
                 Prop("Kind", &TDateTimePicker::Kind, &TDateTimePicker::SetKind).Default(dtkDate),
                 Prop("ShowCheckbox", &TDateTimePicker::ShowCheckbox, &TDateTimePicker::SetShowCheckbox).Default(0),
                 Prop("Checked", &TDateTimePicker::Checked, &TDateTimePicker::SetChecked).Default(1),
                 Prop("OnChange", &TDateTimePicker::OnChange, &TDateTimePicker::OnChange))
