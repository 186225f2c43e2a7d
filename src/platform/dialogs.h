// Message boxes and the program's modal dialogs, as the core asks for them.
#pragma once

#include <string_view>

namespace lumetra {

enum class Icon { None, Critical, Question, Exclamation, Information };
enum class Buttons { Ok, OkCancel, RetryCancel };
enum class Answer { Ok, Cancel, Retry };

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A message box with the program's title, unless a title is given.
    virtual Answer message(std::string_view text, Icon icon, Buttons buttons,
                           std::string_view title = {}) = 0;
};

} // namespace lumetra
