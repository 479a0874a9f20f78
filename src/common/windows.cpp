#include "windows.h"

namespace windows {

const Topic *topic(int number)
{
    return number >= 1 && number <= TopicCount ? &Topics[number - 1] : nullptr;
}

const Topic *topicOfCode(const QVariant &code)
{
    if (!code.isValid() || code.isNull())
        return nullptr;
    bool ok = false;
    const int c = code.toInt(&ok);
    return ok && c >= FirstTopicCode && c <= LastTopicCode ? topic(c - TopicCodeOffset) : nullptr;
}

} // namespace windows
