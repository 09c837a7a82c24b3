Search report for ${Query}$
<!--^^ifdef Site^^-->Site searched: ${Site}$
<!--^^endif^^-->Hits: ${Hits}$
<!--^^ifdef Failed^^-->Some sources could not be searched.
<!--^^endif^^-->${Summary}$
