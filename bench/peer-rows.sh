# Shared by bench/vs-peer and bench/growth: the conversions they measure and how they time a
# command. Sourced after scripts/common.sh; $work is the caller's scratch folder.

# "seconds peak-KiB" of one run of a command, timed to the millisecond: time's own clock counts
# hundredths, a seventh of the fastest rows. With WARM_MIB set, that much memory is touched
# and given back just before the clock starts (see bench/warm-memory.cpp).
measure() {
    [ -z "${WARM_MIB:-}" ] || "$BUILD/bench/warm-memory" "$WARM_MIB"
    local start=$EPOCHREALTIME end
    /usr/bin/time -f "%M" -o "$work/peak" "$@" >/dev/null 2>&1
    end=$EPOCHREALTIME
    awk -v s="$start" -v e="$end" -v k="$(tail -n 1 "$work/peak")" 'BEGIN { printf "%.3f %s\n", e - s, k }'
}

# The fastest of ROUNDS (default seven) runs of each command given as a quoted string ("" for
# none), with its peak memory, as "seconds KiB" for each command in turn on one line ("- -"
# for none). Single runs vary by a fifth here, as does the machine from one minute to the
# next, so the commands take turns and their ratios compare like with like; more rounds bring
# the fastest closer to what a command costs when nothing else on the host gets in its way.
# Each run writes a new output file (the last word of its command), as GPSBabel's one run
# does: replacing the last run's file would add the freeing of its pages to the time. The
# file goes again right after its run, all but the last round's, and what earlier rows wrote
# is on the disk before the first: otherwise the system writes files of earlier runs back to
# the disk during later ones, a load that falls on whichever run it meets.
fastest_in_turn() {
    local -a commands=("$@") best=() best_kib=()
    local seconds kib i command round rounds=${ROUNDS:-7}
    sync
    for ((round = 1; round <= rounds; ++round)); do
        for i in "${!commands[@]}"; do
            command=${commands[$i]}
            [ -n "$command" ] || continue
            rm -f "${command##* }"
            read -r seconds kib < <(measure $command)
            [ "$round" = "$rounds" ] || rm -f "${command##* }"
            if [ -z "${best[$i]:-}" ] || awk "BEGIN{exit !($seconds < ${best[$i]})}"; then
                best[$i]=$seconds
                best_kib[$i]=$kib
            fi
        done
    done
    for i in "${!commands[@]}"; do
        printf "%s %s " "${best[$i]:--}" "${best_kib[$i]:--}"
    done
    echo
}

# The OV2 file and the GDB file of COUNT points every row starts from, in folder DIR.
make_inputs() {
    local count=$1 dir=$2
    mkdir -p "$dir"
    "$BUILD/bench/make-poi" ov2 "$count" "$dir/in.ov2"
    # GPSBabel's own GDB writer takes minutes for a large file, so the input is made here.
    "$BUILD/bench/make-poi" gdb "$count" "$dir/in.gdb"
}

# Calls `row` for each conversion: label, target ratio to GPSBabel, input, GPSBabel's
# arguments, marivel-convert's arguments, and the mode of the minimal converter that does the
# same (none where it does not do what the row measures). Files lie in folder $1. A row reads
# the file GPSBabel wrote in an earlier row.
peer_rows() {
    local w=$1
    row "OV2 -> Destinator DAT" 6 $w/in.ov2 "-i tomtom -f $w/in.ov2 -o destinator_poi -F $w/peer.dat" "$w/in.ov2 $w/out.dat" o2d
    row "Destinator DAT -> OV2" 11 $w/peer.dat "-i destinator_poi -f $w/peer.dat -o tomtom -F $w/peer1.ov2" "$w/peer.dat $w/out1.ov2" d2of
    row "OV2 -> Garmin CSV" 200 $w/in.ov2 "-i tomtom -f $w/in.ov2 -o garmin_poi -F $w/peer.csv" "--to garmincsv $w/in.ov2 $w/out.csv" o2c
    row "Garmin CSV -> OV2" 9 $w/peer.csv "-i garmin_poi -f $w/peer.csv -o tomtom -F $w/peer2.ov2" "--from garmincsv $w/peer.csv $w/out2.ov2" c2of
    row "OV2 -> TomTom ITN" 150 $w/in.ov2 "-i tomtom -f $w/in.ov2 -x transform,rte=wpt,del -o tomtom_itn -F $w/peer.itn" "$w/in.ov2 $w/out.itn" o2i
    row "OV2 -> Generic Ascii" 125 $w/in.ov2 "-i tomtom -f $w/in.ov2 -o tomtom_asc -F $w/peer.asc" "$w/in.ov2 $w/out.asc" o2a
    row "MapSource GDB -> OV2" 12 $w/in.gdb "-i gdb -f $w/in.gdb -o tomtom -F $w/peer3.ov2" "$w/in.gdb $w/out3.ov2" b2of
    row "OV2 -> GPX" 8 $w/in.ov2 "-i tomtom -f $w/in.ov2 -o gpx -F $w/peer.gpx" "$w/in.ov2 $w/out.gpx" o2g
    row "GPX -> OV2" 7 $w/peer.gpx "-i gpx -f $w/peer.gpx -o tomtom -F $w/peer4.ov2" "$w/peer.gpx $w/out4.ov2" g2of
    row "OV2 -> KML" 9 $w/in.ov2 "-i tomtom -f $w/in.ov2 -o kml -F $w/peer.kml" "$w/in.ov2 $w/out.kml" o2k
    row "KML -> OV2" 7 $w/peer.kml "-i kml -f $w/peer.kml -o tomtom -F $w/peer5.ov2" "$w/peer.kml $w/out5.ov2" k2of
    row "OV2 -> Garmin POI" 5 $w/in.ov2 "-i tomtom -f $w/in.ov2 -o garmin_gpi -F $w/peer.gpi" "$w/in.ov2 $w/out.gpi"
    row "Garmin POI -> OV2" 5 $w/peer.gpi "-i garmin_gpi -f $w/peer.gpi -o tomtom -F $w/peer10.ov2" "$w/peer.gpi $w/out10.ov2"
    row "OV2 -> GeoJSON" 5 $w/in.ov2 "-i tomtom -f $w/in.ov2 -o geojson -F $w/peer.geojson" "$w/in.ov2 $w/out.geojson"
    row "GeoJSON -> OV2" 5 $w/peer.geojson "-i geojson -f $w/peer.geojson -o tomtom -F $w/peer7.ov2" "$w/peer.geojson $w/out7.ov2"
    # GPSBabel knows no KMZ: the KMZ rows compare with its KML, the same text unpacked.
    row "OV2 -> KMZ" 5 $w/in.ov2 "-i tomtom -f $w/in.ov2 -o kml -F $w/peer8.kml" "$w/in.ov2 $w/out.kmz"
    row "KMZ -> OV2" 5 $w/out.kmz "-i kml -f $w/peer.kml -o tomtom -F $w/peer9.ov2" "$w/out.kmz $w/out9.ov2"
    row "OV2 drop duplicates" 1 $w/in.ov2 "-i tomtom -f $w/in.ov2 -x duplicate,location -o tomtom -F $w/peer6.ov2" "--drop-duplicates 1 $w/in.ov2 $w/out6.ov2"
}
