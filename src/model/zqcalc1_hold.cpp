// The record of the discrete choices a base state makes, replayed at the
// stepped states of a difference.
#include "frame/farray.h"
#include "model/zqcalc1.h"

namespace ZQCALC1 {

namespace {

// A whole evaluation of the equations records a few entries per end-member;
// the numerical heat capacity about one per Simpson ordinate.
constexpr int tapecapacity = 1 << 16;

struct choice {
  choicekind kind = choicekind::seriesterms;
  smallint value = 0;
};

struct choicetape {
  farray<choice, 1, tapecapacity> entry{"held choices"};
  int length = 0;          // entries recorded
  int cursor = 0;          // entries replayed so far
  int end = 0;             // the replay reads no entry past this one
  int depth = 0;           // open scopes
  bool recording = false;  // a base state is evaluated
  bool replaying = false;  // a stepped state is evaluated
  bool lost = false;       // the stepped path left the record: free from here
};
choicetape TAPE;  // the choices of the open differences; written by HELDSTEP, HELDCHOICE and MADECHOICE

}  // namespace

void RESETHELDCHOICES() {
  TAPE.length = TAPE.cursor = TAPE.end = TAPE.depth = 0;
  TAPE.recording = TAPE.replaying = TAPE.lost = false;
}

HELDSTEP::HELDSTEP()
    : outerrecording(TAPE.recording),
      outerreplaying(TAPE.replaying),
      outerlost(TAPE.lost),
      outercursor(TAPE.cursor),
      outerend(TAPE.end),
      outerlength(TAPE.length) {
  ++TAPE.depth;
  if (TAPE.replaying && !TAPE.lost) {
    // The base of this scope is itself a stepped state of an enclosing one:
    // its choices are the enclosing base's, read on from here.
    start = TAPE.cursor;
    return;
  }
  start = TAPE.length;
  TAPE.recording = true;
  TAPE.replaying = false;
  TAPE.lost = false;
}

void HELDSTEP::STEPPED() {
  if (!based) {
    based = true;
    baseend = TAPE.recording ? TAPE.length : TAPE.cursor;
    baselost = TAPE.lost;
  }
  TAPE.recording = false;
  TAPE.replaying = true;
  TAPE.cursor = start;
  TAPE.end = baseend;
  TAPE.lost = baselost;
}

HELDSTEP::~HELDSTEP() {
  if (!based) {
    based = true;
    baseend = TAPE.recording ? TAPE.length : TAPE.cursor;
    baselost = TAPE.lost;
  }
  const bool inner = outerreplaying && !outerlost;
  TAPE.recording = outerrecording;
  TAPE.replaying = outerreplaying;
  TAPE.end = outerend;
  TAPE.lost = outerlost || (inner && baselost);
  // An enclosing stepped state goes on after the entries this base read;
  // an enclosing base keeps what this one recorded, as its stepped states
  // pass through here again; anything else recorded here is done with.
  TAPE.cursor = inner ? baseend : outercursor;
  if (outerreplaying || !outerrecording) TAPE.length = outerlength;
  if (--TAPE.depth == 0) RESETHELDCHOICES();
}

bool HELDCHOICE(choicekind kind, smallint& value) {
  choicetape& t = TAPE;
  if (!t.replaying || t.lost) return false;
  if (t.cursor >= t.end || t.entry[t.cursor + 1].kind != kind) {
    t.lost = true;
    return false;
  }
  value = t.entry[++t.cursor].value;
  return true;
}

smallint HOLDCHOICE(choicekind kind, smallint natural) {
  smallint held = 0;
  if (HELDCHOICE(kind, held)) return held;
  MADECHOICE(kind, natural);
  return natural;
}

bool CHOICESRECORDED() { return TAPE.recording; }

void MADECHOICE(choicekind kind, smallint value) {
  choicetape& t = TAPE;
  if (!t.recording) return;
  // A full record ends early: the stepped states run out of held choices
  // there and go on free.
  if (t.length >= tapecapacity) return;
  t.entry[++t.length] = choice{kind, value};
}

}  // namespace ZQCALC1
