// Filling the placeholders of a message text ("Cannot install update on v%s").
#pragma once

#include <initializer_list>

#include "platform/text.h"

// Replaces each "%s" or "%d" with the next argument, in order, and "%%" with "%". Message
// texts come from language files that translators edit, so a placeholder without an argument
// becomes empty text and any other "%" stays as it is, instead of failing the message.
String FormatText(StringView format, std::initializer_list<StringView> arguments);
