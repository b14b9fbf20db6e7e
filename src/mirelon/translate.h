// The four steps of a run, called by the driver in this order: sequence,
// hydrogen-bond macro (only with -w), dihedral restraints, chemical shifts.
// Each step opens its files by name, ends the process with exit status 1
// after its message on a fatal error, and shares no memory with the others;
// the residue-ID file "idarrayke.txt" is their only channel.
//
// Every step returns a fixed int only to show that it came back rather than
// ending the process; nothing else is in it, and the driver does not read it.
#ifndef MIRELON_TRANSLATE_H_
#define MIRELON_TRANSLATE_H_

// Reads the CT file `ct_file`, writes "kesta.seq", echoes the residue-ID
// records on standard output and writes "idarrayke.txt". Returns 0.
int translate_seq(const char* ct_file);

// Reads the CT file `ct_file` again, rewrites "kesta.seq" and
// "idarrayke.txt" with the same bytes (no echo) and writes one Watson-Crick
// hydrogen-bond command per helix into `macro_file`, which is created only
// when there is at least one helix. Returns 0.
int translate_wc(const char* ct_file, const char* macro_file);

// Reads "idarrayke.txt" and writes the backbone dihedral angle restraints of
// Watson-Crick stems to "kesta.aco". Returns 1.
int translate_aco();

// Reads "idarrayke.txt" and the statistics table `stat_file`, predicts a
// shift and a tolerance for every atom at prediction level `level` (text of
// a number from 1 to 11) and writes "kesta.prot". Returns 1.
int translate_stat(const char* stat_file, const char* level);

#endif  // MIRELON_TRANSLATE_H_
