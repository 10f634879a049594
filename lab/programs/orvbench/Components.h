#pragma once
// Windows Installer's component registrations on a big machine, for the
// cleaning benchmark: component keys under
// HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Installer\UserData\S-1-5-18\Components
// in the 64-bit view (where Windows Installer keeps them), each holding the
// value of one bench product (named by its packed product code, the path of
// one of its files), some also or only the value of one more product, the
// target of the cleaning.

namespace Bench {

// Plants count component keys (those already there are rewritten).
void PlantComponents(unsigned count);

// Removes every bench component key.
void RemoveComponents();

struct ComponentTimes {
    unsigned keys = 0;          // component keys enumerated
    unsigned values = 0;        // their values
    unsigned targetValues = 0;  // values of the target product that each cleaning removes
    double enumeration = 0;     // seconds, median: one enumeration of the keys and their value names
    double cleaning = 0;        // seconds, median: RemoveComponentRegistrations of the target's product key
    double fastestEnumeration = 0;
    double fastestCleaning = 0;
};

// Times, reps times each and taking turns, one enumeration of the component
// keys (every key opened, its value names listed) against the remover's
// cleaning of the target product's registrations; the target's values are
// planted again before each cleaning, outside the time.
ComponentTimes TimeComponentCleaning(unsigned reps);

}  // namespace Bench
