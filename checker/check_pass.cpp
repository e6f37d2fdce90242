#include "checker/check_pass.h"

#include "checker/check_pass_template.h"

namespace torvane::checker {

CheckEnd runCheck(CheckView& view, const Classifier& classifier, ResultLists& lists) {
  return runCheckWith(view, classifier, lists);
}

CheckEnd runCheck(CheckView& view, const AllowingClassifier<Classifier>& classifier,
                  ResultLists& lists) {
  return runCheckWith(view, classifier, lists);
}

}  // namespace torvane::checker
