#pragma once

// What a field writes back on OK: the stored value itself while the field still
// shows what it was filled with, so a value the field cannot show whole (a name
// longer than it takes, a time beyond its range) survives a dialog that never touched it.
template<typename Stored, typename Shown>
Stored keptOrEdited(const Stored &stored, const Shown &filledWith, const Shown &now)
{
    return now == filledWith ? stored : Stored(now);
}
