#include "soundtrack/Song.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

namespace halcyra {
namespace {

struct KindName {
    const char* name;
    InstrumentKind kind;
};
constexpr KindName kindNames[] = {
    {"kick", InstrumentKind::Kick},   {"snare", InstrumentKind::Snare},   {"clap", InstrumentKind::Clap},
    {"hat", InstrumentKind::Hat},     {"cymbal", InstrumentKind::Cymbal}, {"boom", InstrumentKind::Boom},
    {"tom", InstrumentKind::Tom},     {"bass", InstrumentKind::Bass},     {"pad", InstrumentKind::Pad},
    {"pluck", InstrumentKind::Pluck}, {"lead", InstrumentKind::Lead},     {"riser", InstrumentKind::Riser},
    {"voice", InstrumentKind::Voice},
};

bool isDirective(const std::string& word) {
    return word == "tempo" || word == "bars" || word == "master" || word == "track" || word == "pattern" ||
           word == "order" || word == "curve";
}

// A pattern's tokens and an order list's items are kept with their lines until every name is known.
struct PendingOrder {
    int line;
    int track;
    std::vector<std::string> items;
};

class Parser {
public:
    Parser(const std::string& text, const std::string& sourceName) : source(sourceName) {
        std::istringstream lines(text);
        std::string line;
        while (std::getline(lines, line)) {
            ++lineNumber;
            // A comment starts at a '#' that begins a word; inside a word it is a sharp (C#4).
            for (size_t at = line.find('#'); at != std::string::npos; at = line.find('#', at + 1)) {
                if (at == 0 || std::isspace(static_cast<unsigned char>(line[at - 1]))) {
                    line.erase(at);
                    break;
                }
            }
            std::istringstream words(line);
            std::vector<std::string> tokens;
            for (std::string word; words >> word;)
                tokens.push_back(word);
            if (!tokens.empty())
                handleLine(tokens);
        }
        finishPattern();
        finish();
    }

    Song song;

private:
    [[noreturn]] void fail(const std::string& what, int line = 0) const {
        throw SongError(source + ":" + std::to_string(line != 0 ? line : lineNumber) + ": " + what);
    }

    float number(const std::string& word, const std::string& what) const {
        size_t used = 0;
        float value = 0.0f;
        try {
            value = std::stof(word, &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used != word.size() || !std::isfinite(value))
            fail(what + " '" + word + "' is not a number");
        return value;
    }

    int whole(const std::string& word, const std::string& what, int low, int high) const {
        const float value = number(word, what);
        if (value != std::floor(value) || value < static_cast<float>(low) || value > static_cast<float>(high))
            fail(what + " '" + word + "' must be a whole number from " + std::to_string(low) + " to " +
                 std::to_string(high));
        return static_cast<int>(value);
    }

    int trackIndex(const std::string& name) const {
        for (size_t i = 0; i < song.tracks.size(); ++i) {
            if (song.tracks[i].name == name)
                return static_cast<int>(i);
        }
        fail("no track named '" + name + "' (tracks are declared before their order and curves)");
    }

    void handleLine(const std::vector<std::string>& tokens) {
        if (!isDirective(tokens[0])) {
            if (openPattern < 0)
                fail("'" + tokens[0] + "' is neither a directive nor part of a pattern");
            for (const std::string& token : tokens)
                patternToken(token);
            return;
        }
        finishPattern();
        const std::string& directive = tokens[0];
        if (directive == "tempo" || directive == "bars") {
            if (tokens.size() != 2)
                fail(directive + " takes one number");
            (directive == "tempo" ? song.tempo : song.bars) = whole(tokens[1], directive, 1, 1000);
        } else if (directive == "master") {
            masterLine(tokens);
        } else if (directive == "track") {
            trackLine(tokens);
        } else if (directive == "pattern") {
            patternLine(tokens);
        } else if (directive == "order") {
            if (tokens.size() < 3)
                fail("order takes a track and at least one pattern");
            orders.push_back({lineNumber, trackIndex(tokens[1]), {tokens.begin() + 2, tokens.end()}});
        } else {
            curveLine(tokens);
        }
    }

    void trackLine(const std::vector<std::string>& tokens) {
        if (tokens.size() < 3 || tokens.size() % 2 == 0)
            fail("track takes a name, an instrument and then pairs of setting and value");
        Track track;
        track.name = tokens[1];
        if (track.name == "master")
            fail("'master' names the master bus and cannot be a track");
        for (const Track& other : song.tracks) {
            if (other.name == track.name)
                fail("track '" + track.name + "' is declared twice");
        }
        const auto* kind = std::find_if(std::begin(kindNames), std::end(kindNames),
                                        [&](const KindName& entry) { return tokens[2] == entry.name; });
        if (kind == std::end(kindNames))
            fail("unknown instrument '" + tokens[2] +
                 "' (kick, snare, clap, hat, cymbal, boom, tom, bass, pad, pluck, lead, riser, voice)");
        track.kind = kind->kind;
        for (size_t i = 3; i < tokens.size(); i += 2) {
            const std::string& key = tokens[i];
            const float value = number(tokens[i + 1], key);
            Tone& tone = track.tone;
            TrackMix& mix = track.mix;
            const std::map<std::string, float*> mixFields{{"gain", &mix.gain},     {"pan", &mix.pan},
                                                          {"reverb", &mix.reverb}, {"delay", &mix.delay},
                                                          {"duck", &mix.duck},     {"chorus", &mix.chorus}};
            const std::map<std::string, std::optional<float>*> toneFields{
                {"attack", &tone.attack},   {"decay", &tone.decay},   {"sustain", &tone.sustain},
                {"release", &tone.release}, {"cutoff", &tone.cutoff}, {"resonance", &tone.resonance},
                {"envmod", &tone.envmod},   {"detune", &tone.detune}, {"glide", &tone.glide},
                {"pitch", &tone.pitch},     {"vowel", &tone.vowel}};
            if (auto field = mixFields.find(key); field != mixFields.end())
                *field->second = value;
            else if (auto toneField = toneFields.find(key); toneField != toneFields.end())
                *toneField->second = value;
            else
                fail("unknown track setting '" + key + "'");
        }
        if (track.mix.pan < -1.0f || track.mix.pan > 1.0f)
            fail("pan must lie between -1 and 1");
        if (track.tone.vowel && (*track.tone.vowel < 0.0f || *track.tone.vowel > 4.0f))
            fail("vowel must lie between 0 (oo) and 4 (ee)");
        song.tracks.push_back(std::move(track));
    }

    void masterLine(const std::vector<std::string>& tokens) {
        if (tokens.size() < 3 || tokens.size() % 2 == 0)
            fail("master takes pairs of setting and value");
        MasterBus& master = song.master;
        const std::map<std::string, float*> fields{{"ceiling", &master.ceiling},   {"lowcut", &master.lowCut},
                                                   {"bass", &master.bass},         {"body", &master.body},
                                                   {"presence", &master.presence}, {"air", &master.air}};
        for (size_t i = 1; i < tokens.size(); i += 2) {
            const auto field = fields.find(tokens[i]);
            if (field == fields.end())
                fail("unknown master setting '" + tokens[i] +
                     "' (ceiling, lowcut, bass, body, presence, air)");
            *field->second = number(tokens[i + 1], tokens[i]);
        }
        if (master.ceiling > 0.0f || master.ceiling < -24.0f)
            fail("the master ceiling must lie between -24 and 0 dBFS");
        if (master.lowCut < 0.0f || master.lowCut > 200.0f)
            fail("the master low cut must lie between 0 and 200 Hz");
        if (std::fabs(master.bass) > 12.0f || std::fabs(master.body) > 12.0f ||
            std::fabs(master.presence) > 12.0f || std::fabs(master.air) > 12.0f)
            fail("the master's tone reaches 12 dB at most");
    }

    void patternLine(const std::vector<std::string>& tokens) {
        if (tokens.size() != 3 && !(tokens.size() == 5 && tokens[3] == "rows"))
            fail("pattern takes a name, a length in bars and optionally 'rows' and the rows per beat");
        for (const Pattern& other : song.patterns) {
            if (other.name == tokens[1])
                fail("pattern '" + tokens[1] + "' is declared twice");
        }
        if (tokens[1] == ".")
            fail("'.' stands for a silent bar and cannot name a pattern");
        Pattern next;
        next.name = tokens[1];
        next.bars = whole(tokens[2], "pattern length", 1, 64);
        if (tokens.size() == 5)
            next.rowsPerBeat = whole(tokens[4], "rows per beat", 1, 16);
        song.patterns.push_back(std::move(next));
        openPattern = static_cast<int>(song.patterns.size()) - 1;
        patternLineNumber = lineNumber;
        row = 0;
    }

    void patternToken(const std::string& token) {
        Pattern* pattern = &song.patterns[openPattern];
        const int rowsPerBar = pattern->rowsPerBeat * beatsPerBar;
        if (token == "|") {
            if (row % rowsPerBar != 0)
                fail("bar line after row " + std::to_string(row) + " of pattern '" + pattern->name +
                     "' is not on a bar boundary (" + std::to_string(rowsPerBar) + " rows a bar)");
            return;
        }
        if (token != ".") {
            PatternStep step;
            step.row = row;
            if (token != "-")
                parseNotes(token, step);
            pattern->steps.push_back(std::move(step));
        }
        ++row;
    }

    void parseNotes(const std::string& token, PatternStep& step) const {
        static const std::map<char, float> hits{{'X', 1.0f}, {'x', 0.8f}, {'o', 0.5f}, {',', 0.3f}};
        if (token.size() == 1 && hits.count(token[0]) != 0) {
            step.notes.push_back(60);
            step.velocity = hits.at(token[0]);
            return;
        }
        std::string body = token;
        if (!body.empty() && body.back() == '~') {
            step.glide = true;
            body.pop_back();
        }
        if (!body.empty() && (body.back() == '!' || body.back() == '\'')) {
            step.velocity = body.back() == '!' ? 1.0f : 0.5f;
            body.pop_back();
        }
        if (body.empty() || body.back() == '+')
            fail("'" + token + "' is not a note (like A2, C#4 or Bb3), a hit (X x o ,), '.', '-' or '|'");
        std::istringstream notes(body);
        for (std::string note; std::getline(notes, note, '+');)
            step.notes.push_back(noteNumber(note, token));
    }

    int noteNumber(const std::string& note, const std::string& token) const {
        static const int semitones[] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
        size_t at = 0;
        if (note.empty() || note[0] < 'A' || note[0] > 'G')
            fail("'" + token + "' is not a note (like A2, C#4 or Bb3), a hit (X x o ,), '.', '-' or '|'");
        int semitone = semitones[note[0] - 'A'];
        ++at;
        if (at < note.size() && (note[at] == '#' || note[at] == 'b')) {
            semitone += note[at] == '#' ? 1 : -1;
            ++at;
        }
        if (at + 1 != note.size() || note[at] < '0' || note[at] > '8')
            fail("'" + token + "' needs an octave from 0 to 8 after the note name");
        return 12 * (note[at] - '0' + 1) + semitone;
    }

    void finishPattern() {
        if (openPattern < 0)
            return;
        const Pattern* pattern = &song.patterns[openPattern];
        const int rows = pattern->bars * beatsPerBar * pattern->rowsPerBeat;
        if (row != rows)
            fail("pattern '" + pattern->name + "' has " + std::to_string(row) + " rows, its " +
                     std::to_string(pattern->bars) + " bar(s) need " + std::to_string(rows),
                 patternLineNumber);
        openPattern = -1;
    }

    void curveLine(const std::vector<std::string>& tokens) {
        if (tokens.size() < 4)
            fail("curve takes a track (or master), a target and at least one bar:value point");
        static const std::map<std::string, CurveTarget> targets{{"gain", CurveTarget::Gain},
                                                                {"cutoff", CurveTarget::Cutoff},
                                                                {"reverb", CurveTarget::Reverb},
                                                                {"delay", CurveTarget::Delay}};
        const auto target = targets.find(tokens[2]);
        if (target == targets.end())
            fail("unknown curve target '" + tokens[2] + "' (gain, cutoff, reverb, delay)");
        Curve* curve = nullptr;
        if (tokens[1] == "master") {
            if (target->second != CurveTarget::Gain)
                fail("the master has a gain curve only");
            curve = &song.masterGain;
        } else {
            curve = &song.tracks[trackIndex(tokens[1])].curves[static_cast<size_t>(target->second)];
        }
        // Further lines for the same curve continue it.
        for (size_t i = 3; i < tokens.size(); ++i) {
            const size_t colon = tokens[i].find(':');
            if (colon == std::string::npos)
                fail("curve point '" + tokens[i] + "' is not bar:value");
            CurvePoint point;
            point.bar = number(tokens[i].substr(0, colon), "curve bar");
            point.value = number(tokens[i].substr(colon + 1), "curve value");
            if (!curve->empty() && point.bar <= curve->back().bar)
                fail("curve points must go forward in bars ('" + tokens[i] + "')");
            if (target->second == CurveTarget::Cutoff && point.value <= 0.0f)
                fail("a cutoff must be above 0 Hz ('" + tokens[i] + "')");
            curve->push_back(point);
        }
    }

    void finish() {
        if (song.tempo == 0 || song.bars == 0)
            fail("the song needs 'tempo' and 'bars' lines");
        if (song.tracks.empty())
            fail("the song has no tracks");
        for (const PendingOrder& pending : orders)
            resolveOrder(pending);
        for (const Track& track : song.tracks) {
            const int filled = filledBars(track);
            if (filled != song.bars)
                fail("the order list of track '" + track.name + "' fills " + std::to_string(filled) +
                         " bars, the song has " + std::to_string(song.bars),
                     lastOrderLine(track));
        }
    }

    int filledBars(const Track& track) const {
        if (track.order.empty())
            return 0;
        const OrderSlot& last = track.order.back();
        return last.bar + (last.pattern < 0 ? 1 : song.patterns[last.pattern].bars);
    }

    int lastOrderLine(const Track& track) const {
        int line = 0;
        for (const PendingOrder& pending : orders) {
            if (song.tracks[pending.track].name == track.name)
                line = pending.line;
        }
        return line != 0 ? line : lineNumber;
    }

    void resolveOrder(const PendingOrder& pending) {
        Track& track = song.tracks[pending.track];
        for (const std::string& item : pending.items) {
            std::string name = item;
            int count = 1;
            if (const size_t star = item.find('*'); star != std::string::npos) {
                name = item.substr(0, star);
                count = whole(item.substr(star + 1), "repeat count in '" + item + "'", 1, 1000);
            }
            int index = -1;
            if (name != ".") {
                const auto found = std::find_if(song.patterns.begin(), song.patterns.end(),
                                                [&](const Pattern& p) { return p.name == name; });
                if (found == song.patterns.end())
                    fail("no pattern named '" + name + "'", pending.line);
                index = static_cast<int>(found - song.patterns.begin());
            }
            for (int i = 0; i < count; ++i) {
                const int bar = filledBars(track);
                if (bar >= song.bars * 2)
                    fail("the order list of track '" + track.name + "' runs far past the song's end",
                         pending.line);
                track.order.push_back({bar, index});
            }
        }
    }

    std::string source;
    int lineNumber = 0;
    int openPattern = -1; // index of the pattern whose rows are being read
    int patternLineNumber = 0;
    int row = 0;
    std::vector<PendingOrder> orders;
};

} // namespace

Song parseSong(const std::string& text, const std::string& sourceName) {
    Parser parser(text, sourceName);
    return std::move(parser.song);
}

Song readSong(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw SongError(path + ": cannot open the song file");
    std::ostringstream text;
    text << file.rdbuf();
    return parseSong(text.str(), path);
}

void checkFitsShow(const Song& song) {
    if (song.tempo != showTempo || song.bars != showBars)
        throw SongError("the song runs " + std::to_string(song.bars) + " bars at " +
                        std::to_string(song.tempo) + " BPM; the show needs " + std::to_string(showBars) +
                        " bars at " + std::to_string(showTempo) + " BPM");
}

float curveValue(const Curve& curve, double bar, float fallback, bool logarithmic) {
    if (curve.empty())
        return fallback;
    if (bar <= curve.front().bar)
        return curve.front().value;
    if (bar >= curve.back().bar)
        return curve.back().value;
    const auto after = std::upper_bound(curve.begin(), curve.end(), bar,
                                        [](double b, const CurvePoint& point) { return b < point.bar; });
    const CurvePoint& a = *(after - 1);
    const CurvePoint& b = *after;
    const float t = static_cast<float>((bar - a.bar) / (b.bar - a.bar));
    if (logarithmic)
        return a.value * std::pow(b.value / a.value, t);
    return a.value + (b.value - a.value) * t;
}

} // namespace halcyra
