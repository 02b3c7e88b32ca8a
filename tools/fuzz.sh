#!/usr/bin/env bash
# Builds and runs the libFuzzer targets of fuzz/ (needs clang).
#   tools/fuzz.sh build                 configure the "fuzz" preset and build every target
#   tools/fuzz.sh replay [RUNS]         replay every seed corpus, then RUNS inputs per target (default
#                                       2000, a tenth for cli_arguments, seeds only for favorites; fixed
#                                       seed); fails on a finding
#   tools/fuzz.sh run TARGET [ARGS...]  fuzz one target (e.g. ini_file -runs=10000000) with its
#                                       corpus, dictionary and input size; new inputs go to
#                                       build/fuzz/corpus/
# Targets: tabular_loader index_loader keyword_data favorites ini_file search_history code_text
# cli_arguments csv_reader release_zip. Seeds live in fuzz/corpus/TARGET/, dictionaries in fuzz/TARGET.dict.
set -euo pipefail
cd "$(dirname "$0")/.."
targets=(tabular_loader index_loader keyword_data favorites ini_file search_history code_text cli_arguments csv_reader
    release_zip)
# The largest input each target gets: room for its deepest seed and more, not so much that the
# runs slow down. The command-line target reads at most 256 bytes (the whole argument list).
declare -A max_len=([tabular_loader]=65536 [index_loader]=65536 [keyword_data]=16384 [favorites]=4096
    [ini_file]=4096 [search_history]=16384 [code_text]=64 [cli_arguments]=256 [csv_reader]=8192
    [release_zip]=16384)
# Absolute paths: a target may change its working folder before reading its corpus.
root=$PWD
build=$root/build/fuzz

# Arguments shared by every run of TARGET: its dictionary when it has one, findings kept apart.
common_args() {
    local target=$1
    mkdir -p "$build/findings"
    echo "-artifact_prefix=$build/findings/$target-"
    echo "-max_len=${max_len[$target]}"
    # The command-line front's own messages would drown the report.
    [ "$target" = cli_arguments ] && echo "-close_fd_mask=2"
    [ -f "$root/fuzz/$target.dict" ] && echo "-dict=$root/fuzz/$target.dict"
    return 0
}

case "${1:-}" in
    build)
        cmake --preset fuzz -DZENDRA_WERROR=ON >/dev/null
        cmake --build --preset fuzz -j "$(nproc)" --target "${targets[@]/%/_fuzz}" -- --quiet
        ;;
    replay)
        runs=${2:-2000}
        for target in "${targets[@]}"; do
            # New inputs go to a scratch folder listed first, so the seeds in the checkout stay as they are.
            scratch=$(mktemp -d)
            start=$(date +%s)
            # The front runs whole commands on the whole data: a tenth of the runs.
            target_runs=$runs
            [ "$target" = cli_arguments ] && target_runs=$((runs / 10))
            # Opening a list rehashes its password (Argon2id, slow by design): the seeds only.
            [ "$target" = favorites ] && target_runs=0
            if ! "$build/fuzz/${target}_fuzz" $(common_args "$target") -seed=1 -runs="$target_runs" \
                "$scratch" "$root/fuzz/corpus/$target" >"$build/$target.log" 2>&1; then
                rm -rf "$scratch"
                tail -40 "$build/$target.log"
                echo "fuzz: $target failed (log: $build/$target.log)" >&2
                exit 1
            fi
            rm -rf "$scratch"
            echo "fuzz: $target: seeds replayed, $target_runs runs, $(($(date +%s) - start)) s"
        done
        ;;
    run)
        target=${2:?target name}
        [ -n "${max_len[$target]:-}" ] || { echo "fuzz: no target $target" >&2; exit 2; }
        shift 2
        mkdir -p "$build/corpus/$target"
        exec "$build/fuzz/${target}_fuzz" $(common_args "$target") "$@" "$build/corpus/$target" "$root/fuzz/corpus/$target"
        ;;
    *)
        sed -n '2,9p' "$0" >&2
        exit 2
        ;;
esac
