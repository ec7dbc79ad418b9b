// Panel files: a small line-oriented text format.
//
//   # comment
//   panel resource=1 name=client1 title="BERT logging" width=760 height=560 callback=MainPanelCB
//   control id=2 type=textbox key=cmdlog label="Commands sent" x=10 y=300 w=360 h=200
//   control id=6 type=button key=start label="Start" callback=TransmitCB
//   end
//
// A file may hold several panels, told apart by their resource number.
// Attributes of a control: id (required, > 0, unique in the panel), type
// (textbox, string, output, led, button), key (unique in the panel), label,
// x, y, w, h, max (longest text typed into a string control), value
// (initial text, or 0/1 for a led), echo (0: the console does not print its
// changes), callback.  Texts in double quotes may use \" \\ and \n.
#include <cctype>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>

#include "internal.h"

namespace tk {
namespace {

bool Tokenize(const std::string& line, std::vector<std::pair<std::string, std::string>>& out,
              std::string& word, std::string& error)
{
    std::size_t p = 0;
    auto skip = [&] {
        while (p < line.size() && std::isspace(static_cast<unsigned char>(line[p]))) ++p;
    };
    skip();
    while (p < line.size() && !std::isspace(static_cast<unsigned char>(line[p]))) word += line[p++];
    for (;;) {
        skip();
        if (p >= line.size()) return true;
        std::string key;
        while (p < line.size() && line[p] != '=' &&
               !std::isspace(static_cast<unsigned char>(line[p])))
            key += line[p++];
        if (p >= line.size() || line[p] != '=' || key.empty()) {
            error = "expected name=value near '" + key + "'";
            return false;
        }
        ++p;
        std::string value;
        if (p < line.size() && line[p] == '"') {
            ++p;
            bool closed = false;
            while (p < line.size()) {
                char c = line[p++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c == '\\' && p < line.size()) {
                    char e = line[p++];
                    c = e == 'n' ? '\n' : e == 't' ? '\t' : e;
                }
                value += c;
            }
            if (!closed) {
                error = "unterminated text for " + key;
                return false;
            }
        } else {
            while (p < line.size() && !std::isspace(static_cast<unsigned char>(line[p])))
                value += line[p++];
        }
        out.emplace_back(key, value);
    }
}

bool ToInt(const std::string& s, int lo, int hi, int& out)
{
    if (s.empty()) return false;
    char* end = nullptr;
    long v = std::strtol(s.c_str(), &end, 10);
    if (*end != '\0' || v < lo || v > hi) return false;
    out = static_cast<int>(v);
    return true;
}

bool ParseType(const std::string& s, CtrlType& t)
{
    static const std::map<std::string, CtrlType> kTypes = {{"textbox", CtrlType::TextBox},
                                                           {"string", CtrlType::String},
                                                           {"output", CtrlType::Output},
                                                           {"led", CtrlType::Led},
                                                           {"button", CtrlType::Button}};
    auto it = kTypes.find(s);
    if (it == kTypes.end()) return false;
    t = it->second;
    return true;
}

}  // namespace

Control* FindControl(Panel& panel, int id)
{
    for (auto& c : panel.controls)
        if (c.id == id) return &c;
    return nullptr;
}

int ParsePanelText(const std::string& text, int resourceId, Panel& panel, std::string& error)
{
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    bool inPanel = false;  // inside any panel section
    bool mine = false;     // inside the section of resourceId
    bool found = false;
    std::set<int> ids;
    std::set<std::string> keys;
    auto fail = [&](const std::string& why) {
        error = "line " + std::to_string(lineNo) + ": " + why;
        return UIE_BadPanelFile;
    };
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        std::vector<std::pair<std::string, std::string>> attrs;
        std::string word, why;
        if (!Tokenize(line, attrs, word, why)) return fail(why);
        if (word == "panel") {
            if (inPanel) return fail("panel inside a panel");
            inPanel = true;
            int resource = -1;
            Panel p;
            for (auto& [k, v] : attrs) {
                bool ok = true;
                if (k == "resource")
                    ok = ToInt(v, 1, 1000000, resource);
                else if (k == "name")
                    p.name = v;
                else if (k == "title")
                    p.title = v;
                else if (k == "width")
                    ok = ToInt(v, 50, 4000, p.w);
                else if (k == "height")
                    ok = ToInt(v, 50, 4000, p.h);
                else if (k == "callback")
                    p.callbackName = v;
                else
                    return fail("unknown panel attribute " + k);
                if (!ok) return fail("bad value for " + k);
            }
            if (resource < 0) return fail("panel without resource");
            mine = resource == resourceId && !found;
            if (mine) {
                found = true;
                panel = std::move(p);
                ids.clear();
                keys.clear();
            }
        } else if (word == "control") {
            if (!inPanel) return fail("control outside a panel");
            Control c;
            bool haveType = false;
            std::string initial;
            bool haveInitial = false;
            for (auto& [k, v] : attrs) {
                bool ok = true;
                if (k == "id")
                    ok = ToInt(v, 1, 1000000, c.id);
                else if (k == "type")
                    ok = haveType = ParseType(v, c.type);
                else if (k == "key")
                    c.key = v;
                else if (k == "label")
                    c.label = v;
                else if (k == "x")
                    ok = ToInt(v, 0, 4000, c.x);
                else if (k == "y")
                    ok = ToInt(v, 0, 4000, c.y);
                else if (k == "w")
                    ok = ToInt(v, 1, 4000, c.w);
                else if (k == "h")
                    ok = ToInt(v, 1, 4000, c.h);
                else if (k == "max")
                    ok = ToInt(v, 1, 100000, c.maxLength);
                else if (k == "value")
                    initial = v, haveInitial = true;
                else if (k == "echo") {
                    int e = 1;
                    ok = ToInt(v, 0, 1, e);
                    c.echo = e != 0;
                } else if (k == "callback")
                    c.callbackName = v;
                else
                    return fail("unknown control attribute " + k);
                if (!ok) return fail("bad value for " + k);
            }
            if (c.id <= 0) return fail("control without id");
            if (!haveType) return fail("control without type");
            if (haveInitial) {
                if (c.type == CtrlType::Led) {
                    if (!ToInt(initial, 0, 1, c.number)) return fail("bad led value");
                } else {
                    c.text = initial;
                }
            }
            if (mine) {
                if (!ids.insert(c.id).second)
                    return fail("duplicate control id " + std::to_string(c.id));
                if (!c.key.empty() && !keys.insert(c.key).second)
                    return fail("duplicate key " + c.key);
                panel.controls.push_back(std::move(c));
            }
        } else if (word == "end") {
            if (!inPanel) return fail("end outside a panel");
            inPanel = false;
            mine = false;
        } else {
            return fail("unknown line " + word);
        }
    }
    if (inPanel) return fail("panel without end");
    if (!found) {
        error = "no panel with resource " + std::to_string(resourceId);
        return UIE_ResourceNotFound;
    }
    return 0;
}

}  // namespace tk
