Page report
Title: ${Title}$
<!--^^ifdef Links^^-->Links: ${Links}$
<!--^^endif^^-->Tags: ${Tags}$
