# Struct member writes and reads, as the simulation keeps its state struct
# (an array here: neither comparison interpreter has structs).
array set ::state {t1 0 t2 0 l3 0 l4 0 ind1 0}
proc main {} {
  set n 0
  set i 0
  while {$i < 200000} {
    set ::state(t1) [expr {$i & 1}]
    set ::state(l3) [expr {$i % 7}]
    set ::state(ind1) $i
    if {$::state(t1)} {incr n $::state(l3)}
    if {!$::state(t2)} {incr n}
    incr i
  }
  return "$n $::state(ind1)"
}
puts [main]
