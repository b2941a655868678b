// A modal handler for the controls tests: answers every modal box with a chosen value and keeps
// what it was asked, so that no test blocks on a box.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "classlib/controls/forms.h"

struct TModalAnswers {
  explicit TModalAnswers(int answer = IDOK) : answer(answer) {
    old = SetModalHandler([this](TModalRequest& r) -> std::optional<int> {
      requests.push_back(r);
      if (onRequest) onRequest(r);
      return this->answer;
    });
  }
  ~TModalAnswers() { SetModalHandler(old); }
  TModalAnswers(const TModalAnswers&) = delete;
  TModalAnswers& operator=(const TModalAnswers&) = delete;

  int answer;
  std::vector<TModalRequest> requests;
  std::function<void(TModalRequest&)> onRequest;
  TModalHandler old;
};
