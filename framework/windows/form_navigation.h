// FormNavigation: moves a form that shows records in a batch on to the next
// record (WindowManager::OnCompleted of a batch view window).
#pragma once

namespace varnok::framework {

class FormNavigation {
public:
    virtual ~FormNavigation() = default;
    virtual void Next() = 0;
};

}  // namespace varnok::framework
