// zandrel-lv2-ttl: writes the LV2 bundle's description (manifest.ttl and
// zandrel.ttl, and zandrel_ui.ttl for a binary with the editor) from the
// one table of host parameters, at build time, so that the LV2 build's
// names, ranges, defaults and steps are those of the VST 2.4 and CLAP
// builds.
//
// Usage: zandrel-lv2-ttl BUNDLE-FOLDER BINARY-FILE MINOR-VERSION MICRO-VERSION [ui]
#include "arp_rates.h"
#include "host_parameters.h"
#include "lv2_uris.h"
#include "numeric.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// The input port also takes patch messages and the transport; the output
// holds up to 4096 MIDI events of 24 bytes per block and the patch replies.
constexpr int kOutputMinimumBytes = 131072;

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

// A Turtle decimal or double literal (an integer literal would be typed
// xsd:integer).
std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    std::string s = text;
    if (s.find_first_of(".e") == std::string::npos) s += ".0";
    return s;
}

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The value the engine reports for step k of a stepped parameter.
double stepValue(const HostParameter& p, int k) {
    switch (p.display) {
    case DisplayRule::kSemitones:
        return transposeParameterValue(k);
    case DisplayRule::kPatternLetter:
        return static_cast<float>(k) / 12.0f;
    default:
        return static_cast<float>(k) / static_cast<float>(p.steps - 1);
    }
}

// The parameter's display text at step k, without its padding blanks.
// The note rule's "no rule" shows as two blanks, which a host's menu cannot
// show: it is labelled "off".
std::string stepLabel(const HostParameter& p, int k) {
    switch (p.display) {
    case DisplayRule::kSemitones: {
        char text[16];
        std::snprintf(text, sizeof text, "%3i", k - 24);
        return trimmed(text);
    }
    case DisplayRule::kPatternLetter:
        return std::string(1, static_cast<char>('A' + k));
    case DisplayRule::kNoteRule: {
        static const char* const kRuleTexts[4] = {"off", "MUTED", "-1", "+1"};
        return kRuleTexts[k & 3];
    }
    case DisplayRule::kRate:
        return rateName(k);
    default:
        return std::to_string(k);
    }
}

std::string parameterUri(const HostParameter& p) {
    return std::string("zandrel:") + p.id;
}

// Each host parameter as an lv2:Parameter, reachable by patch:Set and
// patch:Get on the control ports' atom sequence.
void writeParameters(std::ostream& out) {
    for (const HostParameter& p : kHostParameters) {
        out << parameterUri(p) << "\n"
            << "\ta lv2:Parameter ;\n"
            << "\trdfs:label " << quoted(p.name) << " ;\n"
            << "\trdfs:range atom:Float ;\n"
            << "\tlv2:default " << number(p.defaultValue) << " ;\n"
            << "\tlv2:minimum 0.0 ;\n"
            << "\tlv2:maximum 1.0 .\n\n";
    }
}

// The pattern, the note rules and transpose take only their steps: hosts
// offer them as menus of the texts the engine displays. The rates keep
// their step names as labels only, because with the free rate switched on
// any value 0..1 is a frequency.
void writeControlPort(std::ostream& out, const HostParameter& p, int index) {
    out << "\t[\n"
        << "\t\ta lv2:InputPort , lv2:ControlPort ;\n"
        << "\t\tlv2:index " << index << " ;\n"
        << "\t\tlv2:symbol " << quoted(p.id) << " ;\n"
        << "\t\tlv2:name " << quoted(p.name) << " ;\n"
        << "\t\tlv2:default " << number(p.defaultValue) << " ;\n"
        << "\t\tlv2:minimum 0.0 ;\n"
        << "\t\tlv2:maximum 1.0";
    if (p.kind == ParameterKind::kToggle) out << " ;\n\t\tlv2:portProperty lv2:toggled";
    if (p.kind == ParameterKind::kStepped) {
        if (p.display != DisplayRule::kRate) out << " ;\n\t\tlv2:portProperty lv2:enumeration";
        out << " ;\n\t\tlv2:scalePoint";
        for (int k = 0; k < p.steps; ++k)
            out << (k ? " ,\n\t\t\t" : " ") << "[ rdfs:label " << quoted(stepLabel(p, k))
                << " ; rdf:value " << number(stepValue(p, k)) << " ]";
    }
    out << "\n\t]";
}

void writePlugin(std::ostream& out, const std::string& minor, const std::string& micro,
                 bool withUi) {
    out << "<" << kZandrelLv2Uri << ">\n"
        << "\ta lv2:Plugin , lv2:MIDIPlugin , doap:Project ;\n"
        << "\tdoap:name \"Zandrel\" ;\n"
        << "\tdoap:maintainer [ foaf:name \"Vrek Records\" ] ;\n"
        << "\trdfs:comment \"A chord memory of 128 trigger keys feeding a twelve-pattern step "
           "arpeggiator synced to the host; MIDI in, MIDI out, and a preview sound of what it "
           "plays.\" ;\n"
        << "\tlv2:minorVersion " << minor << " ;\n"
        << "\tlv2:microVersion " << micro << " ;\n"
        << "\tlv2:requiredFeature urid:map ;\n"
        << "\tlv2:optionalFeature lv2:hardRTCapable , work:schedule ;\n"
        << "\tlv2:extensionData state:interface , work:interface ;\n";
    if (withUi) out << "\tui:ui <" << kZandrelLv2UiUri << "> ;\n";
    out << "\tlv2:port [\n"
        << "\t\ta lv2:InputPort , atom:AtomPort ;\n"
        << "\t\tatom:bufferType atom:Sequence ;\n"
        << "\t\tatom:supports midi:MidiEvent , time:Position , patch:Message ;\n"
        << "\t\tlv2:designation lv2:control ;\n"
        << "\t\tlv2:index 0 ;\n"
        << "\t\tlv2:symbol \"events_in\" ;\n"
        << "\t\tlv2:name \"MIDI in\"\n"
        << "\t] , [\n"
        << "\t\ta lv2:OutputPort , atom:AtomPort ;\n"
        << "\t\tatom:bufferType atom:Sequence ;\n"
        << "\t\tatom:supports midi:MidiEvent , patch:Message ;\n"
        << "\t\tlv2:designation lv2:control ;\n"
        << "\t\trsz:minimumSize " << kOutputMinimumBytes << " ;\n"
        << "\t\tlv2:index 1 ;\n"
        << "\t\tlv2:symbol \"events_out\" ;\n"
        << "\t\tlv2:name \"MIDI out\"\n"
        << "\t] , [\n"
        << "\t\ta lv2:OutputPort , lv2:AudioPort ;\n"
        << "\t\tlv2:index 2 ;\n"
        << "\t\tlv2:symbol \"preview_left\" ;\n"
        << "\t\tlv2:name \"Preview left\"\n"
        << "\t] , [\n"
        << "\t\ta lv2:OutputPort , lv2:AudioPort ;\n"
        << "\t\tlv2:index 3 ;\n"
        << "\t\tlv2:symbol \"preview_right\" ;\n"
        << "\t\tlv2:name \"Preview right\"\n"
        << "\t] ,\n";
    int index = 4;
    for (const HostParameter& p : kHostParameters) {
        writeControlPort(out, p, index);
        out << (index - 4 + 1 < param::kHostParameterCount ? " ,\n" : " .\n");
        ++index;
    }
}

const char* const kPrefixes = "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
                              "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
                              "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
                              "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
                              "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
                              "@prefix patch: <http://lv2plug.in/ns/ext/patch#> .\n"
                              "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
                              "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
                              "@prefix rsz: <http://lv2plug.in/ns/ext/resize-port#> .\n"
                              "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
                              "@prefix time: <http://lv2plug.in/ns/ext/time#> .\n"
                              "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
                              "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n"
                              "@prefix work: <http://lv2plug.in/ns/ext/worker#> .\n";

// The editor: embedded in the host's window, idled by the host. It works
// on the plug-in instance itself where the host gives it (and says so in
// its window where not); it follows the host's size factor and asks for
// its window's size, and brackets gestures for automation where the host
// offers those.
std::string uiDescription() {
    std::ostringstream out;
    out << "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
        << "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
        << "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
        << "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n"
        << "<" << kZandrelLv2UiUri << ">\n"
        << "\ta ui:X11UI ;\n"
        << "\tlv2:requiredFeature ui:parent ;\n"
        << "\tlv2:optionalFeature ui:idleInterface , <http://lv2plug.in/ns/ext/instance-access> ,"
           " ui:resize , ui:touch , opts:options , urid:map ;\n"
        << "\topts:supportedOption ui:scaleFactor ;\n"
        << "\tlv2:extensionData ui:idleInterface .\n";
    return out.str();
}

bool writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) std::fprintf(stderr, "zandrel-lv2-ttl: cannot write %s\n", path.c_str());
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv) {
    const bool withUi = argc == 6 && std::string(argv[5]) == "ui";
    if (argc != 5 && !withUi) {
        std::fputs("usage: zandrel-lv2-ttl BUNDLE-FOLDER BINARY-FILE MINOR MICRO [ui]\n", stderr);
        return 2;
    }
    const std::string folder = argv[1], binary = argv[2];
    const char* const generated = "# Written by zandrel-lv2-ttl from the table of host "
                                  "parameters; edit that table, not this file.\n\n";

    std::ostringstream manifest;
    manifest << generated << "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
             << "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
             << "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n\n"
             << "<" << kZandrelLv2Uri << ">\n"
             << "\ta lv2:Plugin , lv2:MIDIPlugin ;\n"
             << "\tlv2:binary <" << binary << "> ;\n"
             << "\trdfs:seeAlso <zandrel.ttl> .\n";
    if (withUi)
        manifest << "\n<" << kZandrelLv2UiUri << ">\n"
                 << "\ta ui:X11UI ;\n"
                 << "\tui:binary <" << binary << "> ;\n"
                 << "\trdfs:seeAlso <zandrel_ui.ttl> .\n";

    std::ostringstream description;
    description << generated << kPrefixes << "@prefix zandrel: <" << kZandrelLv2Prefix << "> .\n\n";
    writeParameters(description);
    writePlugin(description, argv[3], argv[4], withUi);

    const bool written =
        writeFile(folder + "/manifest.ttl", manifest.str()) &&
        writeFile(folder + "/zandrel.ttl", description.str()) &&
        (!withUi || writeFile(folder + "/zandrel_ui.ttl", generated + uiDescription()));
    return written ? 0 : 1;
}
