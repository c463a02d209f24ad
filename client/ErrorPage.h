// The client's own page for a load that failed: the error page template with the error
// and the server lines filled in.
#pragma once

#include <string>

// "-105 : ERR_NAME_NOT_RESOLVED": the code with its sign, then its name.
std::string ErrorDescription(int code);
// The server lines as one JSON array, one object per line with "name", "url" and
// "check" (the selected one), in list order.
std::string LinesJson();
// json written so that it stands unchanged inside a single-quoted script string: the
// page hands that string to JSON.parse and gets the same value back.
std::string ScriptStringText(const std::string& json);
// The template with every "$errorcode$" and "$linesjosn$" replaced.
std::string FillErrorPage(const std::string& page, int code);
