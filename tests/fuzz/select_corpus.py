#!/usr/bin/env python3
"""Keeps a fuzz corpus to a few dozen files that cover the most.

    build/fuzz/txa_fuzz -merge=1 -merge_control_file=ctl empty_folder \\
        tests/fuzz/corpus/txa build/fuzz/work_txa
    tests/fuzz/select_corpus.py ctl 45 tests/fuzz/corpus/txa

The merge control file lists every input and the coverage features each one
reaches. Files already in the corpus folder are kept; then, up to the budget,
the input that adds the most features not yet covered is copied in as
cov_<name>, until none adds any.
"""
import os
import shutil
import sys


def main():
    control, budget, corpus = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    lines = open(control).read().split('\n')
    count = int(lines[0])
    paths = lines[2:2 + count]
    features = {}
    for line in lines[2 + count:]:
        if line.startswith('FT '):
            parts = line.split()
            features[int(parts[1])] = set(map(int, parts[2:]))
    everything = set().union(*features.values()) if features else set()
    corpus_dir = os.path.realpath(corpus)
    kept = [i for i, p in enumerate(paths) if os.path.realpath(os.path.dirname(p)) == corpus_dir]
    covered = set()
    chosen = list(kept)
    for i in kept:
        covered |= features.get(i, set())
    while len(chosen) < budget:
        best = max((i for i in features if i not in chosen), key=lambda i: len(features[i] - covered), default=None)
        if best is None or not features[best] - covered:
            break
        covered |= features[best]
        chosen.append(best)
    for i in chosen[len(kept):]:
        shutil.copy(paths[i], os.path.join(corpus, 'cov_' + os.path.basename(paths[i])[:12]))
    share = 100.0 * len(covered) / len(everything) if everything else 100.0
    print(f'{len(chosen)} files ({len(kept)} kept) cover {len(covered)} of {len(everything)} features ({share:.1f}%)')


if __name__ == '__main__':
    main()
